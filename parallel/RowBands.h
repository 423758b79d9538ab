#pragma once
// Shares the rows of a picture out between threads. Every row is computed by the same code
// whichever thread runs it, so the bytes never depend on how many bands there are.
#include <functional>
#include <thread>

namespace Orvanel::Parallel {

class CRowBands {
public:
    // Runs rows [firstRow, endRow) as band number `band`; must not throw.
    using Job = std::function<void(unsigned band, int firstRow, int endRow)>;
    // Starts `task` on a thread of its own, or throws as std::thread's constructor does when the
    // system has no thread to give.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;

    // More bands than this would only queue up on the cores.
    static constexpr unsigned kMaxBands = 64;

    // Splits [0, rows) into `bands` bands of consecutive rows, in order, as even as they come:
    // never more bands than rows or kMaxBands, at least one when there are rows, none without.
    CRowBands(int rows, unsigned bands);

    // How many bands a job deserves: one per `workPerBand` (positive) units of `work`, at most
    // `maxBands`, the hardware's threads and `rows`, and at least 1. A job below twice
    // workPerBand stays in one band, on the caller's thread, where starting a thread would cost
    // more than it saves.
    static unsigned CountFor(double work, double workPerBand, int rows, unsigned maxBands);

    unsigned Count() const { return count_; }
    int First(unsigned band) const;
    int End(unsigned band) const { return First(band + 1); }

    // Runs the job once per band and returns when all are done: band 0 on the caller's thread,
    // each other band on a thread of its own. A band whose thread cannot start runs on the
    // caller's thread too, after band 0, in band order.
    void Run(const Job& job) const;
    void Run(const Job& job, const ThreadStarter& start) const;

private:
    int rows_;
    unsigned count_;
};

} // namespace Orvanel::Parallel
