#include "link/ModuleBusy.h"

#include <map>

namespace vemo {

namespace {

int depth = 0;
int nextId = 1;
BusyKind outerKind = BusyKind::Background;

std::map<int, std::function<void(bool)>>& Listeners() {
    static std::map<int, std::function<void(bool)>> listeners;
    return listeners;
}

void Notify(bool busy) {
    // A listener may remove itself; walk a copy.
    const auto listeners = Listeners();
    for (const auto& [id, f] : listeners)
        f(busy);
}

} // namespace

bool ModuleBusy() {
    return depth > 0;
}

BusyKind ModuleBusyKind() {
    return outerKind;
}

int AddBusyListener(std::function<void(bool)> listener) {
    const int id = nextId++;
    Listeners()[id] = std::move(listener);
    return id;
}

void RemoveBusyListener(int id) {
    Listeners().erase(id);
}

ModuleBusyScope::ModuleBusyScope(BusyKind kind) {
    if (depth++ > 0) return;
    outerKind = kind;
    Notify(true);
}

ModuleBusyScope::~ModuleBusyScope() {
    // Still busy while the listeners finish: input they let through cannot start a command.
    if (depth == 1) Notify(false);
    --depth;
}

} // namespace vemo
