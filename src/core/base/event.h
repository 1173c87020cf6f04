// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace qni {

// One event a control raises to its container. Handlers run in the order
// they were connected, each to its end before the next, and the control goes
// on when all have run. A handler may connect or disconnect handlers, or
// destroy the control, while the event is raised.
template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    // An id for disconnect().
    int connect(Handler handler)
    {
        handlers_->push_back({++lastId_, std::make_shared<Handler>(std::move(handler))});
        return lastId_;
    }

    void disconnect(int id)
    {
        std::erase_if(*handlers_, [id](const auto& entry) { return entry.first == id; });
    }

    void operator()(Args... args) const
    {
        const auto round = handlers_;
        for (std::size_t i = 0; i < round->size(); ++i) {
            const std::shared_ptr<Handler> handler = (*round)[i].second;
            (*handler)(args...);
        }
    }

private:
    using Entry = std::pair<int, std::shared_ptr<Handler>>;
    std::shared_ptr<std::vector<Entry>> handlers_ = std::make_shared<std::vector<Entry>>();
    int lastId_ = 0;
};

} // namespace qni
