// The in-memory pages, under the name the tests use.
#pragma once

#include "player/memory_pages.h"

namespace rostrel::test {
using rostrel::MemoryPages;
}  // namespace rostrel::test
