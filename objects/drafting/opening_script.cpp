// Openings of any shape through a straight wall (see the header).
//
// Variables of the written definition, for the n profile vertices i in
// list order: $1000+i and $2000+i the vertex's X and Y, $3000+i and $4000+i
// its offsets across the wall on the first and second face (the thickness
// $1 plus X times the tangent of the first face's slant $18, minus X times
// the tangent of the second's $19). The plan lines and the 2D cut stand at
// the vertices of the smallest and the largest X.
#include "objects/drafting/opening_script.h"

#include <cstdio>

#include "core/input_range.h"
#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/ed/prompts.h"
#include "host/win/files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"
#include "objects/drafting/drafting_objects.h"
#include "roofs/outline_select.h"

namespace {

std::string Line(const char* format, auto... args) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

}  // namespace

std::vector<std::string> CFOROMURO::OpeningScriptLines() const {
    std::vector<const VertexNode*> v;
    for (const VertexNode* p = profile.get(); p; p = p->next) v.push_back(p);
    VELM_ASSERT(!v.empty());
    const int n = static_cast<int>(v.size());
    int m = 0, M = 0;
    for (int i = 1; i < n; ++i) {
        if (v[i]->x < v[m]->x) m = i;
        if (v[i]->x > v[M]->x) M = i;
    }
    const int f = closed ? n : n - 1;

    std::vector<std::string> out = {"DRAW", "OPENINGS"};
    for (const int k : {m, M}) {
        out.push_back("LINE");
        out.push_back("2DOPENINGS_W");
        out.push_back(Line("($%d $%d 0)", 1000 + k, 4000 + k));
        out.push_back(Line("($%d $%d 0)", 1000 + k, 3000 + k));
    }
    out.push_back("PFACE");
    out.push_back("3DOPENINGS_W");
    out.push_back(Line("%d %d", 2 * n, f));
    for (int i = 0; i < n; ++i) out.push_back(Line("($%d $%d $%d)", 1000 + i, 3000 + i, 2000 + i));
    for (int i = 0; i < n; ++i) out.push_back(Line("($%d $%d $%d)", 1000 + i, 4000 + i, 2000 + i));
    for (int k = 1; k <= f; ++k) {
        if (k == n)
            out.push_back(Line("(%d %d %d %d)", n, 1, n + 1, 2 * n));
        else
            out.push_back(Line("(%d %d %d %d)", k, k + 1, k + 1 + n, k + n));
    }
    out.push_back("END");

    out.push_back("VAR");
    out.push_back("$0 = 1");
    out.push_back("$1 =\"Grubość ściany:\"D30.00");
    out.push_back("$3 = 11");
    for (int i = 0; i < n; ++i) out.push_back(Line("$%d = ", 1000 + i) + host::formatFixed(v[i]->x, 6));
    for (int i = 0; i < n; ++i) out.push_back(Line("$%d = ", 2000 + i) + host::formatFixed(v[i]->y, 6));
    for (int i = 0; i < n; ++i) out.push_back(Line("$%d = $1+$%d*t($18)", 3000 + i, 1000 + i));
    for (int i = 0; i < n; ++i) out.push_back(Line("$%d = -$%d*t($19)", 4000 + i, 1000 + i));
    out.push_back("END_VAR");

    out.push_back("CUT3DE");
    out.push_back(Line("%d", n));
    for (int i = 0; i < n; ++i) out.push_back(Line("+($%d $%d $%d)", 1000 + i, 3000 + i, 2000 + i));
    out.push_back("ENDCUT3DE");
    out.push_back("CUT3DI");
    out.push_back(Line("%d", n));
    for (int i = 0; i < n; ++i) out.push_back(Line("+($%d $%d $%d)", 1000 + i, 4000 + i, 2000 + i));
    out.push_back("ENDCUT3DI");

    out.push_back("CUT2D");
    for (const int k : {m, M}) {
        out.push_back("2");
        out.push_back(Line("($%d $%d 0)", 1000 + k, 4000 + k));
        out.push_back(Line("($%d $%d 0)", 1000 + k, 3000 + k));
    }
    out.push_back("ENDCUT2D");

    out.push_back("DRAG");
    out.push_back("4 4");
    out.push_back(Line("($%d $%d 0)", 1000 + m, 4000 + m));
    out.push_back(Line("($%d $%d 0)", 1000 + m, 3000 + m));
    out.push_back(Line("($%d $%d 0)", 1000 + M, 3000 + M));
    out.push_back(Line("($%d $%d 0)", 1000 + M, 4000 + M));
    out.push_back("(1 2) (2 3) (3 4) (4 1)");
    return out;
}

int CFOROMURO::WriteOpeningScript() {
    std::string folder;
    if (!GetDataFolder(folder)) return -1;
    host::TextFile file;
    file.lines = OpeningScriptLines();
    // A definition for this command alone: the temporary folder, not the
    // data folder the user keeps; the library reads it there by its name.
    const std::string temporary = host::temporaryFolder();
    if (temporary.empty() || !host::writeTextFile(temporary + kOpeningScriptFile, file)) return -2;
    RunScriptObject(kOpeningScriptName);
    return 0;
}

void CmdWallHole() {
    int status = 1;
    CFOROMURO hole;
    hole.profile.reset(SelectClosedOutline(status, "\nWybierz profil:", 0, false));
    if (!hole.profile) return;
    ads_point at;
    if (GetPointInRange(RSG_NONULL, nullptr, nullptr, "\nOkreśl punkt wstawienia otworu:", at) != RTNORM)
        return;
    for (VertexNode* v = hole.profile.get(); v; v = v->next) {
        v->x -= at[0];
        v->y -= at[1];
        v->z = 0.0;
    }
    // The picked outline is closed whether or not it repeats its first
    // vertex at the end: a repeat is dropped, and the reveal always runs
    // round the whole profile (an open band would leave a side of the hole
    // without its face).
    VertexNode* last = hole.profile.get();
    while (last->next) last = last->next;
    if (last != hole.profile.get() && PointsEqual(last->pt(), hole.profile->pt(), true)) {
        VertexNode* first = hole.profile.release();
        hole.profile.reset(first->next);
        first->next = nullptr;
        FreeList(first);
    }
    hole.closed = 1;
    VertexNode* ring = RemoveVerticesOnEdges(hole.profile.release(), 1);
    ring = NormalizePolygon(0, RemoveDuplicateVertices(ring), nullptr);
    hole.profile.reset(ring);
    // A reveal needs an area: fewer vertices would write a definition the
    // library draws as nothing, or cannot read.
    if (CountNodes(hole.profile.get()) < 3) {
        zcutPrintf("\nMusisz wybrać przynajmniej trzy punkty");
        return;
    }
    const int written = hole.WriteOpeningScript();
    if (written == -1)
        zcutPrintf("\nNie znaleziono folderu danych");
    else if (written == -2)
        zcutPrintf("\nNie można zapisać pliku $$TEMP$$__$$.TXT");
}
