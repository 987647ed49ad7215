// One mouse record emitted on the global mouse signal, as the shell's window
// procedure emits it, for tests of what listens there.
#pragma once

#include "shell/InputMap.h"

// Moves and wheel turns carry the pointer code, button events the left
// button; a wheel record's delta goes in `wheel`.
inline void EmitMouse(unsigned action, float x, float y, int wheel = 0)
{
    CInputMap event;
    event.Action = action;
    event.Code = action >= CInputMap::Move ? CInputMap::PointerCode : CInputMap::Left;
    event.Key = wheel;
    event.Position.Set(x, y);
    GetMouseSignal().Emit(event);
}
