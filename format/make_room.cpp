// The one place where a writer that has run out of room goes.
#include <stdint.h>

#include "format/format.h"

namespace bracket {

char* make_room(FormatState* state, char* write_pos, int32_t bytes_needed) {
    int32_t bytes = static_cast<int32_t>(write_pos - state->out);
    state->emitted += state->wide ? bytes / 2 : bytes;
    state->out = write_pos;
    // A hook that claims success but leaves too little room found none.
    if (state->overflow_hook != nullptr && state->overflow_hook(state) != 0 &&
        reinterpret_cast<uintptr_t>(state->out) + static_cast<uint32_t>(bytes_needed) <=
            reinterpret_cast<uintptr_t>(state->limit)) {
        return state->out;
    }
    // Exhausted for good: every later room test fails and comes back here.
    state->limit = state->out;
    if (state->status == FormatStatus::WHOLE) state->status = FormatStatus::NO_ROOM;
    return nullptr;
}

}  // namespace bracket
