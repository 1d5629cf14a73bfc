#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class CCodePage;
class CInfoTree;
class IPrompter;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The quick-capture dialog: the captured text split into a title and a text,
// to be made a note below the folder selected in the tree. Modeless, so the
// tree stays usable; created hidden with the main window and kept until it
// closes, so it keeps its values (and "Auto title") between captures.
class CNewNoteDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *kCaption = QT_TR_NOOP("New note from coppied text");
    static constexpr const char *kFolderHint = QT_TR_NOOP("Select the folder for new note before OK clicking");
    static constexpr const char *kAutoTitle = QT_TR_NOOP("&Auto title");
    static constexpr const char *kAsRoot = QT_TR_NOOP("As &root folder");
    // Our own texts: a capture that found nothing, and a refused character.
    static constexpr const char *kNothingCaptured =
        QT_TR_NOOP("Nothing new was selected or copied in the other program; the dialog shows the last capture.");
    static QString unmappableMessage(const CCodePage &codePage, const QString &text, qsizetype at);

    CNewNoteDlg(CInfoTree &tree, const CCodePage &codePage, IPrompter &prompter, QWidget *parent = nullptr);

    // The main window's Activate tree pane, run before the note is added.
    void setActivateTreePane(std::function<void()> activate) { m_activateTreePane = std::move(activate); }

    // A capture that found text: it becomes the captured text and is split.
    void capture(const QString &text);
    // Fill from clipboard: the clipboard's plain text, if it has any, as a
    // capture; otherwise the dialog stays as it is. True when it had text.
    bool fillFromClipboard();
    // A capture that found nothing: the dialog keeps its values and says so.
    void showNothingCaptured();
    // Split text: title and text from the captured text, "As root folder" off.
    void splitText();
    // Shows the dialog centred on the screen and in front.
    void showCentred();

    QString capturedText() const { return m_captured; }
    QLineEdit *titleEdit() const { return m_title; }
    QPlainTextEdit *textEdit() const { return m_text; }
    QPushButton *autoTitleButton() const { return m_autoTitle; }
    QPushButton *asRootButton() const { return m_asRoot; }
    QPushButton *okButton() const { return m_ok; }
    QLabel *noteLabel() const { return m_note; }

    // OK: adds the note through the tree and hides the dialog. A title or
    // text the document's code page cannot hold, or a failed add, keeps the
    // dialog open with everything typed.
    // Cancel, Escape and the close box are QDialog's reject(): hide, nothing
    // is created.
    void accept() override;

private:
    CInfoTree &m_tree;
    const CCodePage &m_codePage;
    IPrompter &m_prompter;
    std::function<void()> m_activateTreePane;
    QString m_captured;

    QLineEdit *m_title;
    QPlainTextEdit *m_text;
    QPushButton *m_autoTitle;
    QPushButton *m_asRoot;
    QPushButton *m_ok;
    QLabel *m_note;
};
