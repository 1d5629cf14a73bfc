#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>

class CCodePage;
class CDocManager;
class CGuiPrompter;
class CMainFrame;
class CSettings;
class CTorviQuillbookDoc;

// The application: where the settings live, the one document, its manager
// and the main window, and carrying out the command line.
class CTorviQuillbookApp
{
public:
    static constexpr const char *kOrganization = "Torvi";
    static constexpr const char *kApplication = "Torvi Quillbook";

    // `store` null: the user's own settings store.
    explicit CTorviQuillbookApp(std::unique_ptr<QSettings> store = {});
    ~CTorviQuillbookApp();

    // Opens the file named in `arguments` (after the program name), or runs
    // the first New; false when the program should end without a window
    // (exitCode() then says how). With /p FILE or /pt FILE PRINTER the file's
    // note is printed and the program ends.
    bool startUp(const QStringList &arguments);
    int exitCode() const { return m_exitCode; }
    // The file the command line names (to open or to print); empty when none.
    static QString fileArgument(const QStringList &arguments);
    // Another start of the program handed over `file` (empty: none): open it
    // as File > Open does, and come to the front.
    void openFromAnotherInstance(const QString &file);

    CTorviQuillbookDoc &document() const;
    CDocManager &manager() const;
    CMainFrame *mainFrame() const;

private:
    bool printAndEnd(const QString &printer);

    int m_exitCode = 1;
    // Where the program was started: the document changes the current folder.
    QString m_startFolder;
    std::unique_ptr<QSettings> m_store;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CCodePage> m_codePage;
    std::unique_ptr<CGuiPrompter> m_prompter;
    std::unique_ptr<CTorviQuillbookDoc> m_doc;
    std::unique_ptr<CDocManager> m_manager;
    std::unique_ptr<CMainFrame> m_frame;
};
