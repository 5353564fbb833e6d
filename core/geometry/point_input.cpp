// Point-by-point polygon input. The first point is asked with the caller's
// prompt and keywords; the following ones with "<label> <n>:" and the two
// keywords of this dialogue, rubber-banded from the last point. Undo removes
// the last point and erases its vector by drawing it again.
#include "core/geometry/point_input.h"

#include <cstdio>

#include "host/util/nocase.h"
#include "host/win/textutil.h"

namespace {

bool SameKeyword(const std::string& a, const char* b) {
    return zcutEqualsNoCase(a, b);
}

VertexNode* LastNode(VertexNode* list) {
    while (list && list->next) list = list->next;
    return list;
}

VertexNode* NodeBefore(VertexNode* list, VertexNode* node) {
    while (list && list->next != node) list = list->next;
    return list;
}

}  // namespace

int InputPointList(PointInputPort& port, const std::string& firstKeywords, const std::string& firstPrompt,
                   const std::string& label, std::string& keyword, VertexNode*& list, int& closed, int redraw,
                   int clean) {
    keyword.clear();
    closed = 0;
    int n = 1;
    int visible = 1;
    auto cancel = [&]() {
        list = FreeList(list);
        port.Redraw();
        return -1;
    };
    auto takePoint = [&](const Point3& p, int flag) {
        VertexNode* last = LastNode(list);
        AppendVertex(&list, p, flag, 0, 0);
        if (last) port.DrawVector(last->pt(), p, -1);
        ++n;
        visible = 1;
    };

    for (;;) {
        VertexNode* last = LastNode(list);
        PointAnswer answer;
        if (n == 1) {
            answer = port.GetPoint(nullptr, firstPrompt, firstKeywords, false);
        } else {
            char prompt[512];
            std::snprintf(prompt, sizeof prompt, "\n%s %d:", label.c_str(), n);
            const Point3 base = last ? last->pt() : Point3{};
            answer = port.GetPoint(last ? &base : nullptr, prompt, "Niewidoczny Cofnij", false);
        }
        switch (answer.kind) {
            case PointAnswer::Kind::Point:
                takePoint(answer.point, visible);
                break;
            case PointAnswer::Kind::Keyword:
                if (SameKeyword(answer.keyword, "Cofnij")) {
                    if (n < 2) {
                        port.Alert("You cannot undo the first point");
                        break;
                    }
                    --n;
                    if (last) {
                        if (VertexNode* before = NodeBefore(list, last))
                            port.DrawVector(before->pt(), last->pt(), -1);
                        RemoveNode(&list, last);
                    }
                } else if (SameKeyword(answer.keyword, "Niewidoczny")) {
                    visible = 0;
                    const Point3 base = last ? last->pt() : Point3{};
                    PointAnswer again = port.GetPoint(last ? &base : nullptr, "", "", true);
                    if (again.kind != PointAnswer::Kind::Point) return cancel();
                    takePoint(again.point, 0);
                } else {
                    keyword = answer.keyword;
                    return -2;
                }
                break;
            case PointAnswer::Kind::None:
                if (!list) return 0;
                if (redraw) port.Redraw();
                if (PointsEqual(list->pt(), LastNode(list)->pt(), false)) closed = 1;
                if (clean) list = RemoveDuplicateVertices(list);
                return CountNodes(list);
            case PointAnswer::Kind::Cancel:
            case PointAnswer::Kind::Error:
                return cancel();
        }
    }
}
