#include "parallel/RowBands.h"

#include <doctest/doctest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

using Orvanel::Parallel::CRowBands;

namespace {

// What a run did: how often each row was computed, and which bands the caller's thread ran.
struct Record {
    explicit Record(int rows) : timesComputed(static_cast<std::size_t>(rows)) {}
    std::vector<std::atomic<int>> timesComputed;
    std::mutex mutex;
    std::vector<unsigned> onCaller;
    std::vector<std::thread::id> bandThread = std::vector<std::thread::id>(CRowBands::kMaxBands);
};

CRowBands::Job Recording(Record& record, std::thread::id caller) {
    return [&record, caller](unsigned band, int first, int end) {
        for (int row = first; row < end; ++row)
            ++record.timesComputed[static_cast<std::size_t>(row)];
        const std::lock_guard<std::mutex> lock(record.mutex);
        record.bandThread[band] = std::this_thread::get_id();
        if (std::this_thread::get_id() == caller)
            record.onCaller.push_back(band);
    };
}

bool EveryRowOnce(const Record& record) {
    for (const std::atomic<int>& times : record.timesComputed)
        if (times != 1)
            return false;
    return true;
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
            CHECK(split.First(0) == 0);
            CHECK(split.End(expected == 0 ? 0 : expected - 1) == rows);
            for (unsigned band = 0; band < split.Count(); ++band)
                CHECK(split.First(band) < split.End(band)); // consecutive, none empty
            Record record(rows);
            split.Run(Recording(record, std::this_thread::get_id()));
            CHECK(EveryRowOnce(record));
            CHECK(record.onCaller == std::vector<unsigned>(rows == 0 ? 0 : 1, 0u));
        }
}

TEST_CASE("a band whose thread cannot start runs on the caller's thread, in band order") {
    const std::thread::id caller = std::this_thread::get_id();
    // Bands 2 and 5 get no thread: one starter throws as std::thread does, one hands back an
    // empty thread.
    const CRowBands::ThreadStarter stingy = [](std::function<void()> task) -> std::thread {
        static std::atomic<int> calls{0};
        const int call = ++calls % 7; // bands 1 to 6 ask in order
        if (call == 2)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        if (call == 5)
            return std::thread();
        return std::thread(std::move(task));
    };
    Record record(60);
    CRowBands(60, 7).Run(Recording(record, caller), stingy);
    CHECK(EveryRowOnce(record));
    CHECK(record.onCaller == std::vector<unsigned>{0, 2, 5});
    for (unsigned band : {1u, 3u, 4u, 6u})
        CHECK(record.bandThread[band] != caller);

    Record none(5);
    CRowBands(5, 5).Run(Recording(none, caller),
                        [](std::function<void()>) -> std::thread { throw std::bad_alloc(); });
    CHECK(EveryRowOnce(none));
    CHECK(none.onCaller == std::vector<unsigned>{0, 1, 2, 3, 4});
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
