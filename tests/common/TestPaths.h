#pragma once

// The programs under test and the test data, found from the test program's
// own folder by the relative paths the build writes into TestLayout.h.
#include "TestLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

namespace testpaths {

inline QString fromTests(const char *relative)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(relative));
}

inline QString tqb()
{
    return fromTests(TQB_BINARY_FROM_TESTS);
}

#ifdef TQB_GUI_BINARY_FROM_TESTS
inline QString program()
{
    return fromTests(TQB_GUI_BINARY_FROM_TESTS);
}
#endif

// A file or folder under tests/data.
inline QString data(const QString &name)
{
    return QDir::cleanPath(fromTests(TQB_DATA_FROM_TESTS) + QLatin1Char('/') + name);
}

}  // namespace testpaths
