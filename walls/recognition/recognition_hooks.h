// The hooks through which the wall-face graph and the wall recognition
// commands reach the recognition set, kept out of the registration unit so
// that it does not see the recognition's records beside the drawing's.
#pragma once

void SetRecognitionHooks();
void ClearRecognitionHooks();
