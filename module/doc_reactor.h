// The document-manager reactor of the module: it attaches the database
// reactor to every drawing opened while the module is loaded and, when a
// drawing becomes current, takes that drawing's tolerance, sets the
// coordinate display unless the drawing's settings forbid it and makes the
// editor reactor on the first such call.
#pragma once

#include "host/ed/docman.h"

class VELMDocReactor : public ZcApDocManagerReactor {
public:
    void documentCreated(ZcApDocument* doc) override;
    void documentBecameCurrent(ZcApDocument* doc) override;
};
