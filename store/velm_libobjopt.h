// VELM_LIBOBJOPT, the library search folders of the object library: a plain
// list of texts (velm_text_list.h), filed as DWG version 7.
//
// The record is a custom object of the drawing (its registration and filing
// members come from settings_dbfiler.h); a drawing keeps one in its
// dictionary "VELMOR_6", opened through settings_store.h. A copy holds the
// same settings and belongs to no drawing.
#pragma once

#include <string>

#include "store/velm_text_list.h"

class VELM_LIBOBJOPT : public VelmTextListRecord<VELM_LIBOBJOPT> {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_LIBOBJOPT);
    VELM_LIBOBJOPT() = default;

    static constexpr const char* kClassName = "VELM_LIBOBJOPT";
    static constexpr short kFilingVersion = 7;

    // `entries`: in search order; a new record has none.

    // Appends the folder unless one equal to it ignoring case is there;
    // true when it was appended.
    bool AddFolderOnce(const std::string& folder);
};
