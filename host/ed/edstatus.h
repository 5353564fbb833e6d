// Statuses of the editor's object calls (documents, command stack, status
// bar). Zero is success, as the host's error statuses have it.
#pragma once

enum ZcEdStatus : int {
    eEdOk = 0,
    eEdInvalidInput = 3,
    eEdNotApplicable = 4,
    eEdDuplicateKey = 5,
    eEdKeyNotFound = 6,
    eEdLockViolation = 7,
};
