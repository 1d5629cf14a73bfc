#include "app/TorviQuillbookApp.h"

#include "app/DocManager.h"
#include "app/GuiPrompter.h"
#include "app/MainFrame.h"
#include "app/ShellRegistration.h"
#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStatusBar>

CTorviQuillbookApp::CTorviQuillbookApp(std::unique_ptr<QSettings> store)
    : m_store(store ? std::move(store) : CSettings::openUserStore())
{
    m_settings = std::make_unique<CSettings>(*m_store);
    m_codePage = std::make_unique<CCodePage>(m_settings->codePage());
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
    m_frame = std::make_unique<CMainFrame>(*m_manager, *m_codePage, *m_prompter);
    m_prompter->setParentWidget(m_frame.get());
    QObject::connect(m_doc.get(), &CTorviQuillbookDoc::statusMessage, m_frame->statusBar(),
                     [bar = m_frame->statusBar()](const QString &text) { bar->showMessage(text); });
    if (!m_manager->startUp(fileArgument(arguments))) {
        m_frame.reset();
        return false;
    }
    m_frame->show();
    return true;
}

QString CTorviQuillbookApp::fileArgument(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.startsWith(QLatin1Char('-')))
            return argument;
    }
    return {};
}

void CTorviQuillbookApp::openFromAnotherInstance(const QString &file)
{
    if (!m_frame)
        return;
    m_frame->show();
    m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
    m_frame->raise();
    m_frame->activateWindow();
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
