#pragma once

#include <QString>

// Generated databases the benchmarks share: ten years (2016 to 2025) of
// operations with realistic list sizes, made once per size and kept in
// $TALLYSET_BENCH_DATA (default ./bench-data).
namespace BenchData
{
QString DataFolder();
QString ConnectionString(const QString &path);
QString DatabaseFor(int operations);
} // namespace BenchData
