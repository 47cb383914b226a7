// The program's icon: a log book with a quill, drawn here at the sizes the windows use.
#pragma once

#include <QIcon>

namespace kestrel::rclog {

QIcon programIcon();

}  // namespace kestrel::rclog
