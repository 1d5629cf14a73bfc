#pragma once

#include <QDialog>

class QRadioButton;

// "Where place imported notes?": the selected folder, the root level or a new
// document.
class CImportPlaceDlg : public QDialog
{
    Q_OBJECT

public:
    enum Place { kSelectedFolder = 0, kAsRoot = 1, kNewDocument = 2 };
    static constexpr const char *kCaption = "Where place imported notes?";

    explicit CImportPlaceDlg(QWidget *parent = nullptr);
    Place place() const;
    QRadioButton *button(Place place) const { return m_buttons[place]; }

private:
    QRadioButton *m_buttons[3] = {};
};
