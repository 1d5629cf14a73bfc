#pragma once

#include <QDialog>

class QRadioButton;

// "Where place imported notes?": below the selected item, as a root folder,
// or into a new document.
class CImportPlaceDlg : public QDialog
{
    Q_OBJECT

public:
    enum Place { kSelectedFolder = 0, kAsRoot = 1, kNewDocument = 2 };

    explicit CImportPlaceDlg(QWidget *parent = nullptr);

    int place() const;
    void setPlace(int place);
    QRadioButton *button(int place) const;

private:
    QRadioButton *m_buttons[3];
};
