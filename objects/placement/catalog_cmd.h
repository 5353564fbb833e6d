// The user block catalogue command: the catalogue file read, the browser
// shown, entries defined by writing chosen objects out as block files, the
// chosen block inserted once or repeatedly with its entry's layer, scale,
// rotation and explode settings, and the file always written back.
#pragma once

#include <string>

#include "core/layer_catalogue.h"
#include "host/util/adscodes.h"
#include "objects/dialogs/catalog_file.h"

// The catalogue folder: the value of PATHCATALOG in the configuration
// file, else "CAT" in the module's data folder. Empty when neither is known.
std::string CatalogFolder();

// Inserts the state's entry. 0 when a block was inserted, RTERROR when no
// insertion point was given (Enter ends a repetition: `first` false) or
// the insert command failed, and 1 when the insertion was abandoned at a
// scale or rotation answer. The system variables it changes are restored.
int InsertCatalogBlock(CatalogState& state, const AAR_LAYERC& layers, bool first, const std::string& folder);

// Objects for a block and its base point; a set held before is freed. On
// a failed step the set is freed and cleared.
void SelectBlockObjects(ads_name set, ads_point base);

// Writes the chosen objects as the entry's block file, asking before an
// existing file is replaced. The file is written beside the old one first
// and put in its place only when the write succeeded. True when written.
bool WblockCatalogBlock(CatalogState& state, const std::string& folder, ads_name set, const ads_point base);

// VELMCATBLOCK
void CmdCatalogBlock();
