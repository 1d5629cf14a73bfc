#pragma once

#include <QByteArrayView>

// How deeply the elements of an HTML text nest, counted the way an HTML5
// parser's stack of open elements grows, without building anything: an
// element whose end a parser supplies by itself (<p>, <dt>, <li>, <a> ...)
// or that has no content (<br>, <hr> ...) does not count, script and style
// contents are skipped. Parsers spend time in the depth of that stack on
// every tag, so a file nested tens of thousands deep takes them minutes;
// this scan is linear and stops as soon as `limit` is passed.
namespace markupdepth {

// True when the nesting stays within `limit` levels.
bool withinLimit(QByteArrayView html, int limit);

}  // namespace markupdepth
