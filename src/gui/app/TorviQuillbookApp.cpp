#include "app/TorviQuillbookApp.h"

#include "app/CommandLine.h"
#include "app/DocManager.h"
#include "app/GuiPrompter.h"
#include "app/MainFrame.h"
#include "app/ShellRegistration.h"
#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QStatusBar>

CTorviQuillbookApp::CTorviQuillbookApp(std::unique_ptr<QSettings> store)
    : m_startFolder(QDir::currentPath()), m_store(store ? std::move(store) : CSettings::openUserStore())
{
    m_settings = std::make_unique<CSettings>(*m_store);
    m_codePage = std::make_unique<CCodePage>(m_settings->text(CSettings::CodePage));
    if (!m_codePage->isValid())
        m_codePage = std::make_unique<CCodePage>();
    const CCodePage &page = *m_codePage;
    m_prompter = std::make_unique<CGuiPrompter>([&page](const QString &text) { return page.fromUnicode(text); },
                                                [&page](const QByteArray &bytes) { return page.toUnicode(bytes); });
    m_doc = std::make_unique<CTorviQuillbookDoc>(*m_settings, *m_prompter);
    m_manager = std::make_unique<CDocManager>(*m_doc, *m_settings);
}

CTorviQuillbookApp::~CTorviQuillbookApp() = default;

bool CTorviQuillbookApp::startUp(const QStringList &arguments)
{
    CShellRegistration::registerForCurrentUser(QCoreApplication::applicationFilePath());
    CCommandLine line = CCommandLine::parse(arguments);
    line.resolveAgainst(m_startFolder);
    m_exitCode = 1;
    if (!line.error.isEmpty()) {
        m_prompter->message(line.error);
        return false;
    }
    m_frame = std::make_unique<CMainFrame>(*m_manager, *m_codePage, *m_prompter);
    m_prompter->setParentWidget(m_frame.get());
    if (!m_manager->startUp(line.file)) {
        m_frame.reset();
        return false;
    }
    if (line.prints())
        return printAndEnd(line.printer);
    m_frame->showFirstTime();
    m_exitCode = 0;
    return true;
}

bool CTorviQuillbookApp::printAndEnd(const QString &printerName)
{
    // The note the document opens on is printed, without a window.
    QPrinter printer;
    if (!printerName.isEmpty()) {
        if (!QPrinterInfo::availablePrinterNames().contains(printerName)) {
            m_prompter->message(QCoreApplication::translate("CTorviQuillbookApp", "The printer \"%1\" was not found; nothing was printed.").arg(printerName));
            m_frame.reset();
            return false;
        }
        printer.setPrinterName(printerName);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        m_prompter->message(QCoreApplication::translate("CTorviQuillbookApp", "There is no printer to print on; nothing was printed."));
        m_frame.reset();
        return false;
    }
    m_frame->printNote(printer);
    m_frame.reset();
    m_exitCode = 0;
    return false;
}

QString CTorviQuillbookApp::fileArgument(const QStringList &arguments)
{
    return CCommandLine::parse(arguments).file;
}

void CTorviQuillbookApp::openFromAnotherInstance(const QString &file)
{
    if (!m_frame)
        return;
    m_frame->show();
    m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
    m_frame->raise();
    m_frame->activateWindow();
    // The starting program resolved the name against its own folder.
    if (!file.isEmpty())
        m_manager->openDocumentFile(file);
}

CTorviQuillbookDoc &CTorviQuillbookApp::document() const
{
    return *m_doc;
}

CDocManager &CTorviQuillbookApp::manager() const
{
    return *m_manager;
}

CMainFrame *CTorviQuillbookApp::mainFrame() const
{
    return m_frame.get();
}
