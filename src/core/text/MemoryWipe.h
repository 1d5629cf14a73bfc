#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Zeroes text the program holds before its memory is let go, so that what a
// locked document held cannot be read back from freed memory. The storage is
// zeroed where it lies: every implicitly shared copy of it reads as zeros
// from then on, which is what dropping a document wants. Data the program
// does not own (literals, bytes borrowed from a file mapping) is left alone.
namespace memorywipe {

void zero(void *data, qsizetype size);
void wipe(QByteArray &bytes);
void wipe(QString &text);
// Zeroes the bytes of every entry; the list itself stays as it is, for
// its owner to clear.
void zeroEntries(const QList<QByteArray> &list);

}  // namespace memorywipe
