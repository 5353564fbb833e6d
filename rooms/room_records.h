// The application names of the room records and the layer key of the room
// data: labels with their outline link, cards, card rows and card totals.
#pragma once

inline constexpr const char* kRoomLabelApp = "VELM5$_$ETICHETTEVANI-";
inline constexpr const char* kRoomOutlineLinkApp = "VELM5$_$POLILINE-";
inline constexpr const char* kRoomCardApp = "VELM5$_$TABELLEVANI-";
inline constexpr const char* kRoomRowApp = "VELM5$_$RECORDVANI-";
inline constexpr const char* kRoomTotalApp = "VELM5$_$TOTABVANI-";
inline constexpr const char* kRoomDataLayerKey = "2DROOMDATA";
