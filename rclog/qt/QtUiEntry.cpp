#include "QtUiEntry.h"

#include "QtUi.h"

extern "C" __attribute__((visibility("default"))) kestrel::rclog::Ui* quillbox_create_qt_ui(
    const char* programName) {
    return new kestrel::rclog::QtUi(programName != nullptr ? programName : "quillbox");
}
