#pragma once

#include "Version.h"

#include <QDialog>
#include <QUrl>

#include <functional>

// The product name and version, with the maker's web site and support address.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    // Hands a URL to the desktop (browser, mail program); replaceable in tests.
    using UrlOpener = std::function<void(const QUrl &)>;

    static constexpr const char *kTitle = QT_TR_NOOP("About Torvi Quillbook");
    static constexpr const char *kProductText = "Torvi Quillbook Version " TQB_VERSION;
    static constexpr const char *kWebSite = "https://torvi-quillbook.example.org";
    static constexpr const char *kSupportMail = "support@torvi-quillbook.example.org";

    explicit CAboutDlg(QWidget *parent = nullptr);
    CAboutDlg(UrlOpener opener, QWidget *parent = nullptr);

private:
    UrlOpener m_opener;
};
