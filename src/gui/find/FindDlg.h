#pragma once

#include <QDialog>
#include <QString>

class CFindReplace;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless "Find / Replace" dialog. It only collects the strings and
// options and hands them to CFindReplace; the main window creates it hidden
// with itself, shows it on the Find/Replace command, and destroys it only
// when the window really closes. Its values stay for the whole run.
class CFindDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *kCaption = QT_TR_NOOP("Find / Replace");

    explicit CFindDlg(CFindReplace &find, QWidget *parent = nullptr);

    QLineEdit *findEdit() const { return m_find; }
    QCheckBox *caseBox() const { return m_case; }
    QLineEdit *replaceEdit() const { return m_replace; }
    QCheckBox *thisNoteBox() const { return m_thisNote; }
    QPushButton *findNextButton() const { return m_findNext; }
    QPushButton *replaceButton() const { return m_replaceButton; }
    QPushButton *replaceAllButton() const { return m_replaceAll; }
    QPushButton *closeButton() const { return m_close; }
    // Where the count of the last Replace all is shown.
    QLabel *resultLabel() const { return m_result; }
    // The count of the last Replace all belongs to the note it was made in.
    void clearResult();

    void findNext();
    void replace();
    void replaceAll();

signals:
    // After each Replace all, with its count (for the status bar).
    void replacedAll(int count);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void takeValues();

    CFindReplace &m_findReplace;
    QLineEdit *m_find;
    QCheckBox *m_case;
    QLineEdit *m_replace;
    QCheckBox *m_thisNote;
    QPushButton *m_findNext;
    QPushButton *m_replaceButton;
    QPushButton *m_replaceAll;
    QPushButton *m_close;
    QLabel *m_result;

    // The values as last taken from the controls.
    QString m_strFind;
    QString m_strReplace;
    bool m_bCase = false;
    bool m_bThisNote = false;
    bool m_bShownBefore = false;
};
