#include "ui/terminal/terminal_backend.h"
