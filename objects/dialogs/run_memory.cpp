#include "objects/dialogs/run_memory.h"

ObjectsRunMemory& RunMemory() {
    static ObjectsRunMemory memory;
    return memory;
}

void ForgetRunMemory() {
    RunMemory() = ObjectsRunMemory{};
}
