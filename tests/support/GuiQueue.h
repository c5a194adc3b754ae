#pragma once
// Stands in for the GUI thread in serial tests: the port's notifications queue
// here and run when the test pumps.

#include "CommPort.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct GuiQueue {
    std::mutex m;
    std::deque<std::function<void()>> tasks;
    size_t maxQueued = 0;

    TGuiDispatch Dispatch() {
        return [this](std::function<void()> f) {
            std::lock_guard lock(m);
            tasks.push_back(std::move(f));
            maxQueued = std::max(maxQueued, tasks.size());
        };
    }
    size_t MaxQueued() {
        std::lock_guard lock(m);
        return maxQueued;
    }
    size_t Queued() {
        std::lock_guard lock(m);
        return tasks.size();
    }
    // Runs queued tasks until `until` holds or the time is up.
    template <class Pred>
    bool PumpUntil(Pred until, std::chrono::milliseconds limit = std::chrono::milliseconds(2000)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!until()) {
            std::function<void()> f;
            {
                std::lock_guard lock(m);
                if (!tasks.empty()) {
                    f = std::move(tasks.front());
                    tasks.pop_front();
                }
            }
            if (f)
                f();
            else if (std::chrono::steady_clock::now() > end)
                return false;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
};
