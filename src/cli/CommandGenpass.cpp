#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "settings/Settings.h"
#include "generator/PasswordGenerator.h"

int runGenpass(CCliSession &session)
{
    const CCliArguments &args = session.args();
    const CPasswordGenSettings stored = CPasswordGenSettings::load(session.settings());
    const bool classesGiven = args.digits || args.letters || args.special;
    const CPasswordGenerator::Classes classes = classesGiven
        ? CPasswordGenerator::Classes{args.digits, args.letters, args.special}
        : CPasswordGenerator::classesOf(stored);
    const QByteArray set = CPasswordGenerator::allowedSet(classes);
    if (set.isEmpty()) {
        CConsole::error(QStringLiteral("no character class selected (the generator's settings tick none): "
                                       "give --digits, --letters or --special"));
        return CCliSession::kUsage;
    }
    const int length = args.length > 0 ? args.length : CPasswordGenerator::lengthForIndex(stored.quantity);
    CPasswordGenerator generator;
    QByteArray out;
    for (int i = 0; i < args.count; ++i)
        out += generator.generate(length, set) + '\n';
    return CConsole::write(out) ? CCliSession::kSuccess : CCliSession::kFailure;
}
