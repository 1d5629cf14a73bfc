#include "editor/LinkActions.h"
#include <QCoreApplication>

#include <QDir>

#include <algorithm>

namespace links {

namespace {

const QChar kQuote = QLatin1Char('"');

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || isLineBreak(c);
}

bool holdsLineBreak(const QString &text)
{
    return std::any_of(text.begin(), text.end(), isLineBreak);
}

QString withoutQuotes(QString text)
{
    return text.remove(kQuote);
}

Action mailTo(const QString &address)
{
    return {Action::Open, QStringLiteral("MailTo:") + address};
}

} // namespace

QString openHelpMessage()
{
    return QCoreApplication::translate("LinkActions", "Select the pathname to the file (document or program) including extention  or a URL "
                          "address \nfor example,\t%1\t  or\t%2")
        .arg(QDir::toNativeSeparators(QStringLiteral("/usr/share/doc/torvi-quillbook/guide.html")),
             QString::fromLatin1(kExampleWebSite));
}

QString emailHelpMessage()
{
    return QCoreApplication::translate("LinkActions", "Select an e-mail address.\nFor example: ") + QString::fromLatin1(kExampleMail);
}

bool isEmailAddress(const QString &text)
{
    return text.indexOf(QLatin1Char('@')) > 0;
}

bool isWebAddress(const QString &text)
{
    return text.contains(QLatin1String("www")) || text.contains(QLatin1String("://"));
}

bool isAbsolutePath(const QString &text)
{
    // A drive path, or the same thing as this system writes it.
    return text.contains(QLatin1String(":\\")) || text.startsWith(QLatin1Char('/'));
}

bool isPhoneNumber(const QString &text)
{
    if (text.size() < 2)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('(') || c == QLatin1Char(')') ||
               c == QLatin1Char('-');
    });
}

bool isFileName(const QString &text)
{
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && !text.mid(dot).contains(QLatin1Char(' '));
}

TargetKind targetKind(const QString &target)
{
    const QString t = target.trimmed();
    if (t.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return TargetKind::Mail;
    for (const char *prefix : {"http://", "https://", "ftp://", "www."}) {
        if (t.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return TargetKind::Web;
    }
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    // "C:\..." is a drive, not a scheme of one letter.
    const bool hasScheme = colon > 1 && !t.left(colon).contains(QLatin1Char('\\')) &&
                           !t.left(colon).contains(QLatin1Char('/')) && !t.left(colon).contains(QLatin1Char(' '));
    return hasScheme ? TargetKind::OtherUrl : TargetKind::LocalPath;
}

bool opensWithoutAsking(const QString &target)
{
    switch (targetKind(target)) {
    case TargetKind::Web:
        return true;
    case TargetKind::Mail:
        // Only the address itself: anything after "?" (or hidden as "%3F")
        // is a parameter for the mail program.
        return !target.contains(QLatin1Char('?')) && !target.contains(QLatin1Char('%'));
    case TargetKind::LocalPath:
    case TargetKind::OtherUrl:
        break;
    }
    return false;
}

bool runsCode(const QString &path, bool executable)
{
    static const QStringList kScripts{
        QStringLiteral("exe"), QStringLiteral("com"), QStringLiteral("bat"), QStringLiteral("cmd"),
        QStringLiteral("scr"), QStringLiteral("msi"), QStringLiteral("ps1"), QStringLiteral("vbs"),
        QStringLiteral("vbe"), QStringLiteral("js"),  QStringLiteral("jse"), QStringLiteral("wsf"),
        QStringLiteral("hta"), QStringLiteral("lnk"), QStringLiteral("jar"), QStringLiteral("sh"),
        QStringLiteral("py"),  QStringLiteral("pl"),  QStringLiteral("rb"),  QStringLiteral("desktop"),
        QStringLiteral("appimage")};
    if (executable)
        return true;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return dot > slash + 1 && kScripts.contains(path.mid(dot + 1), Qt::CaseInsensitive);
}

QString directUrl(const QString &target)
{
    const QString t = target.trimmed();
    return t.startsWith(QLatin1String("www."), Qt::CaseInsensitive) ? QStringLiteral("http://") + t : t;
}

bool usableFolder(const QString &documentFolder)
{
    return documentFolder.size() > 3;
}

Action open(const QString &selected, const QString &documentFolder)
{
    const QString text = withoutQuotes(selected).trimmed();
    if (text.isEmpty())
        return {Action::Message, openHelpMessage()};
    if (isEmailAddress(text))
        return mailTo(text);
    if (isWebAddress(text) || isAbsolutePath(text))
        return {Action::Open, text};
    if (isPhoneNumber(text))
        return {Action::Call, text};
    if (isFileName(text) && usableFolder(documentFolder))
        return {Action::Open, documentFolder + text};
    return {};
}

Action email(const QString &selected)
{
    const QString text = selected.trimmed();
    if (text.isEmpty())
        return {Action::Message, emailHelpMessage()};
    return mailTo(text);
}

Action call(const QString &selected)
{
    const QString text = selected.trimmed();
    if (text.isEmpty())
        return {Action::Message, QCoreApplication::translate("links", kCallHelp)};
    return {Action::Call, text};
}

Recovery recoverQuotedPath(const QString &pane, qsizetype s, qsizetype e)
{
    Recovery r;
    if (s < 0 || e < s || e > pane.size())
        return r;
    const qsizetype q = pane.mid(s, e - s).indexOf(kQuote);
    if (q < 0) {
        const qsizetype d = e + 1 <= pane.size() ? pane.indexOf(kQuote, e + 1) : -1;
        if (d < 0)
            return r;
        const qsizetype dot = d > 0 ? pane.lastIndexOf(QLatin1Char('.'), d - 1) : -1;
        if (dot < 0 || dot < qMax<qsizetype>(0, d - 8) || pane.mid(dot, d - dot).contains(QLatin1Char(' ')))
            return r;
        const qsizetype h = d > 0 ? pane.lastIndexOf(kQuote, d - 1) : -1;
        const qsizetype from = h < 0 ? 0 : h;
        const QString candidate = pane.mid(from, d - from + 1);
        // A path does not run over lines; a candidate that does is no path.
        if (candidate.size() >= 260 || holdsLineBreak(candidate))
            return r;
        r.accepted = true;
        r.candidate = candidate;
        if (h < 0) {
            r.clearSelection = true;
        } else {
            r.showFrom = h;
            r.showTo = d;
        }
        return r;
    }
    if (q == 0) {
        const qsizetype c = pane.indexOf(kQuote, s + 1);
        if (c < 0)
            return r;
        const QString candidate = pane.mid(s, c - s + 1).trimmed();
        if (holdsLineBreak(candidate))
            return r;
        r.accepted = true;
        r.candidate = candidate;
        r.showFrom = s;
        r.showTo = s + candidate.size();
        return r;
    }
    if (q <= 3) {
        r.showFrom = s;
        r.showTo = e;
        return r;
    }
    const qsizetype close = s + q;
    const qsizetype h = pane.lastIndexOf(kQuote, close - 1);
    if (h < 0)
        return r;
    const QString candidate = (pane.mid(h, close - h) + kQuote).trimmed();
    if (holdsLineBreak(candidate))
        return r;
    r.accepted = true;
    r.candidate = candidate;
    r.showFrom = h;
    r.showTo = h + candidate.size();
    return r;
}

Action doubleClick(const QString &pane, qsizetype s, qsizetype e, const DblClickFlags &flags,
                   const QString &documentFolder, Recovery *recovery)
{
    if (s < 0 || e < s || e > pane.size())
        return {};
    QString text = pane.mid(s, e - s).trimmed();
    if (text.isEmpty())
        return {};
    const Action copy{Action::Copy, {}};
    if (isEmailAddress(text))
        return flags.mail ? mailTo(text) : copy;
    if (isWebAddress(text))
        return flags.url ? Action{Action::Open, text} : copy;
    if (isPhoneNumber(text) && flags.phone)
        return {Action::Call, text};
    if (!flags.file)
        return copy;
    const Recovery found = recoverQuotedPath(pane, s, e);
    if (recovery)
        *recovery = found;
    if (found.accepted)
        text = found.candidate;
    text = withoutQuotes(text);
    if (!isFileName(text))
        return copy;
    if (isAbsolutePath(text))
        return {Action::Open, text};
    if (usableFolder(documentFolder))
        return {Action::Open, documentFolder + text};
    return copy;
}

Range wordAt(const QString &pane, qsizetype pos)
{
    pos = qBound<qsizetype>(0, pos, pane.size());
    Range r{pos, pos};
    while (r.from > 0 && !isBlank(pane[r.from - 1]))
        --r.from;
    while (r.to < pane.size() && !isBlank(pane[r.to]))
        ++r.to;
    return r;
}

QString localLink(const QString &chosenPath, const QString &documentFolder)
{
    const QString chosen = QDir::fromNativeSeparators(chosenPath);
    const QString folder = QDir::fromNativeSeparators(documentFolder);
#if defined(Q_OS_WIN)
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const QString path = chosen.startsWith(folder, cs) ? chosen.mid(folder.size()) : chosen;
    return kQuote + QDir::toNativeSeparators(path) + kQuote;
}

} // namespace links
