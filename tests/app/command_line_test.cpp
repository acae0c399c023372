#include "app/command_line.h"

#include <gtest/gtest.h>
