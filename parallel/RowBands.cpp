#include "parallel/RowBands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace Orvanel::Parallel {

CRowBands::CRowBands(int rows, unsigned bands)
    : rows_(std::max(rows, 0)),
      count_(rows_ == 0
                 ? 0u
                 : std::max(1u, std::min({bands, kMaxBands, static_cast<unsigned>(rows_)}))) {}

unsigned CRowBands::CountFor(double work, double workPerBand, int rows, unsigned maxBands) {
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    unsigned bands =
        std::min({maxBands, hardware, kMaxBands, static_cast<unsigned>(std::max(rows, 1))});
    const double deserved = work / workPerBand;
    if (!(deserved >= bands)) // NaN too
        bands = deserved >= 2.0 ? static_cast<unsigned>(deserved) : 1u;
    return std::max(bands, 1u);
}

int CRowBands::First(unsigned band) const {
    if (count_ == 0)
        return 0;
    return static_cast<int>(static_cast<std::int64_t>(rows_) * std::min(band, count_) / count_);
}

void CRowBands::Run(const Job& job) const {
    Run(job, [](std::function<void()> task) { return std::thread(std::move(task)); });
}

void CRowBands::Run(const Job& job, const ThreadStarter& start) const {
    if (count_ == 0)
        return;
    // Fixed storage: handing out the bands allocates nothing that could fail.
    std::array<std::thread, kMaxBands> workers;
    std::array<bool, kMaxBands> started{};
    for (unsigned band = 1; band < count_; ++band) {
        try {
            workers[band] = start([&job, this, band] { job(band, First(band), End(band)); });
            started[band] = workers[band].joinable();
        } catch (...) {
            started[band] = false;
        }
    }
    job(0, First(0), End(0));
    for (unsigned band = 1; band < count_; ++band)
        if (!started[band])
            job(band, First(band), End(band));
    for (unsigned band = 1; band < count_; ++band)
        if (started[band])
            workers[band].join();
}

} // namespace Orvanel::Parallel
