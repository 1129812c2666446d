// Filled by the unit's author.
#include <benchmark/benchmark.h>
