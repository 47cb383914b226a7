// How the rmviewer core talks to the person; the Qt window renders it, tests record it.
#pragma once

#include "Summary.h"

namespace kestrel::rmviewer {

class Ui {
  public:
    virtual ~Ui() = default;
    // Shows what the start asked for, with a Close button.
    virtual void present(const Summary& summary) = 0;
};

}  // namespace kestrel::rmviewer
