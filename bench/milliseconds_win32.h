// The benchmarks' clock: milliseconds from the performance counter.
#pragma once

#include <windows.h>

namespace kvbench {

inline double now() {
  LARGE_INTEGER counter{}, frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace kvbench
