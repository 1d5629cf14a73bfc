#pragma once

#include <QString>

// `tqb COMMAND --help`: the part of the whole usage text that is about one
// command, so the text is written once. `usage` is laid out as tqb's usage
// is: a command list whose entries start with two blanks and the command's
// name, then "Options:", whose entries start with two blanks and a dash and
// name the commands they belong to in brackets, "(add)" or "(import-*)".
namespace CommandHelp {

// `takesPassword`: the command reads --password-stdin. Empty when `usage`
// lists no such command.
QString forCommand(const QString &usage, const QString &command, bool takesPassword);

}  // namespace CommandHelp
