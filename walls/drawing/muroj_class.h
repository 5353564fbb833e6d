// The wall entity's class registration, kept apart from the recognition
// headers, whose own wall types share names with the drawing's.
#pragma once

void RegisterWallEntityClass();
void UnregisterWallEntityClass();
