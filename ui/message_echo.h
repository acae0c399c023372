#pragma once

#include <memory>

#include "ui/ui.h"

namespace pelmo::ui {

// A backend that works as shown does and also tells every message to echo first (for
// a conversion that gave up, with the detail line), so that a message box on the
// desktop is also read on stderr, by a script as by a person.
std::unique_ptr<Backend> EchoMessages(std::unique_ptr<Backend> shown,
                                      std::unique_ptr<Backend> echo);

}  // namespace pelmo::ui
