#pragma once

namespace taskwick {

// Registers the pictures built into the program (":/menu/...", ":/app/...", ":/frame/...").
// Resources compiled into a static library are dropped by the linker unless something refers
// to them, so every user calls this once before loading a picture; repeated calls are harmless.
void initResources();

}  // namespace taskwick
