#include "parallel/RowBands.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <system_error>
#include <vector>

using Orvanel::Parallel::CRowBands;

namespace {

// Runs the bands, checks that every row was computed once, and gives the bands that the
// caller's thread ran, in order; the others had threads of their own.
std::vector<unsigned> RunBands(const CRowBands& bands, int rows,
                               const CRowBands::ThreadStarter* start = nullptr) {
    std::vector<int> timesComputed(static_cast<std::size_t>(rows));
    std::vector<unsigned> onCaller;
    std::mutex mutex;
    const std::thread::id caller = std::this_thread::get_id();
    const CRowBands::Job job = [&](unsigned band, int first, int end) {
        const std::lock_guard<std::mutex> lock(mutex);
        for (int row = first; row < end; ++row)
            ++timesComputed[static_cast<std::size_t>(row)];
        if (std::this_thread::get_id() == caller)
            onCaller.push_back(band);
    };
    start ? bands.Run(job, *start) : bands.Run(job);
    CHECK(timesComputed == std::vector<int>(static_cast<std::size_t>(rows), 1));
    return onCaller;
}

} // namespace

TEST_CASE("bands split the rows in order and every row is computed once") {
    for (int rows : {0, 1, 2, 7, 300, 1001})
        for (unsigned bands : {0u, 1u, 2u, 3u, 7u, 64u, 500u}) {
            INFO(rows << " rows in " << bands << " bands");
            const CRowBands split(rows, bands);
            const unsigned expected =
                rows == 0 ? 0u : std::min({std::max(bands, 1u), 64u, static_cast<unsigned>(rows)});
            REQUIRE(split.Count() == expected);
            CHECK((split.First(0) == 0 && split.End(std::max(expected, 1u) - 1) == rows));
            for (unsigned band = 0; band < split.Count(); ++band)
                CHECK(split.First(band) < split.End(band)); // consecutive, none empty
            CHECK(RunBands(split, rows) == std::vector<unsigned>(rows == 0 ? 0 : 1, 0u));
        }
}

TEST_CASE("a band whose thread cannot start runs on the caller's thread, in band order") {
    // Bands 1 to 6 ask in order, from the caller's thread. Bands 2, 3 and 5 get no thread: one
    // start throws as std::thread does, one runs out of memory, one hands back an empty thread.
    int calls = 0;
    const CRowBands::ThreadStarter stingy = [&calls](std::function<void()> task) {
        if (++calls == 2)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        if (calls == 3)
            throw std::bad_alloc();
        return calls == 5 ? std::thread() : std::thread(std::move(task));
    };
    CHECK(RunBands(CRowBands(60, 7), 60, &stingy) == std::vector<unsigned>{0, 2, 3, 5});
}

TEST_CASE("band counts: small jobs stay on the caller's thread") {
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    CHECK(CRowBands::CountFor(0.0, 1000.0, 500, 64) == 1);
    CHECK(CRowBands::CountFor(1999.0, 1000.0, 500, 64) == 1);
    CHECK(CRowBands::CountFor(2000.0, 1000.0, 500, 64) == std::min(2u, hardware));
    CHECK(CRowBands::CountFor(1e12, 1000.0, 500, 64) == std::min(64u, hardware));
    CHECK(CRowBands::CountFor(1e12, 1000.0, 500, 3) == std::min(3u, hardware));
    CHECK(CRowBands::CountFor(1e12, 1000.0, 500, 1) == 1);
    CHECK(CRowBands::CountFor(1e12, 1000.0, 1, 64) == 1);  // one row, one band
    CHECK(CRowBands::CountFor(1e12, 1000.0, 0, 64) == 1);  // no rows: nothing to share
    CHECK(CRowBands::CountFor(1e12, 1000.0, 500, 0) == 1); // a cap of 0 counts as 1
    CHECK(CRowBands::CountFor(NAN, 1000.0, 500, 64) == 1);
}
