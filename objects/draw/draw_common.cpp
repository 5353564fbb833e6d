// Shared pieces of the DRAW statements.
#include "objects/draw/draw_common.h"

#include <cstdio>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/util/nocase.h"
#include "objects/language/obj_args.h"
#include "objects/language/obj_limits.h"

namespace draw {

namespace {

bool OnlyBlanks(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) > 32) return false;
    return true;
}

}  // namespace

int ReadValues(ObjContext& context, double out[3]) {
    std::string arg;
    if (ReadStatementArg(arg, *context.text) != RTNORM) return kNoParen;
    out[0] = out[1] = out[2] = 0.0;
    bool failed = false;
    const std::size_t end = EvalParamLine(arg, out, context, &failed);
    if (failed || OnlyBlanks(arg) || !OnlyBlanks(std::string_view(arg).substr(end))) return kUnreadable;
    return 0;
}

int ReadPoint(ObjContext& context, Point3& out) {
    double v[3];
    const int r = ReadValues(context, v);
    if (r == 0) out = {v[0], v[1], v[2]};
    return r;
}

int ReadInt(ObjContext& context, int& out) {
    std::string arg;
    if (ReadStatementArg(arg, *context.text) != RTNORM) return kNoParen;
    double unused = 0.0;
    return ReadNumOrVar(arg, true, out, unused, context) < 0 ? kUnreadable : 0;
}

int ReadReal(ObjContext& context, double& out) {
    std::string arg;
    if (ReadStatementArg(arg, *context.text) != RTNORM) return kNoParen;
    int unused = 0;
    return ReadNumOrVar(arg, false, unused, out, context) < 0 ? kUnreadable : 0;
}

Header ReadStatementHeader(ObjContext& context, const AAR_LAYERC& catalogue, bool groups, bool checkName,
                           bool discardOnFalse, std::string& layer) {
    if (!CheckGenerationFlag(context)) {
        if (discardOnFalse) PassLine(*context.text);
        return Header::Skip;
    }
    std::optional<std::string> line = ReadTextLine(*context.text, 258, false);
    if (!line) return checkName ? Header::Fail : Header::Skip;
    layer = *line;
    SubstituteLayer(context.layerSubstitutions, layer);
    if (!PrepareStatementLayer(groups, layer, &context, catalogue, false, 0.0)) return Header::Skip;
    if (checkName && zcdbSNValid(layer.c_str(), 0) != RTNORM) return Header::Fail;
    return Header::Draw;
}

int MakeEntity(resbuf* raw) {
    const host::ResbufList list(raw);
    return zcdbEntMake(list.get());
}

int MakeEntity(std::string_view type, std::vector<ZcDbDxfItem> groups) {
    return host::makeEntity(type, std::move(groups));
}

namespace {

bool Refuse(ObjContext& context, const std::string& what) {
    if (!context.drawRefused) {
        zcutPrintf("\nDefinicja %s: %s: obiekt nie został narysowany.", context.objectName.c_str(),
                   what.c_str());
        host::noteFailed();
    }
    context.drawRefused = true;
    return false;
}

// What the object runs of the running command have made and run, against
// kMaxCommandElements and kMaxCommandStatements; counted afresh for each
// command.
struct CommandRuns {
    unsigned long long round = 0;
    std::uint64_t made = 0, statements = 0;
    bool refused = false;
};

CommandRuns& ThisCommand() {
    thread_local CommandRuns counted;
    if (counted.round != host::commandRound()) counted = CommandRuns{host::commandRound(), 0, 0, false};
    return counted;
}

// The command's objects together passed a bound: this run and every later
// one of the command are refused, and what the command did is taken back
// once it has ended, so the drawing stays as it was.
bool RefuseCommand(ObjContext& context, const std::string& what) {
    CommandRuns& command = ThisCommand();
    context.drawRefused = true;
    if (command.refused) return false;
    command.refused = true;
    const std::string name = host::commandActive() ? host::currentCommandName() : std::string("?");
    zcutPrintf("\nPolecenie %s: %s: polecenie zostało cofnięte.", name.c_str(), what.c_str());
    host::noteFailed();
    if (host::commandActive())
        if (ZcApDocument* doc = zcDocManagerPtr()->curDocument())
            zcDocManagerPtr()->sendStringToExecute(doc, "_U\n", true, false, false);
    return false;
}

}  // namespace

bool Tally(ObjContext& context, std::uint64_t statements, std::uint64_t elements) {
    if (context.drawRefused) return false;
    context.drawStatements += statements;
    context.drawElements += elements;
    if (context.drawStatements > kMaxDrawStatements)
        return Refuse(context,
                      "rysunek wykonuje więcej niż " + std::to_string(kMaxDrawStatements) + " instrukcji");
    if (context.drawElements > kMaxDrawElements)
        return Refuse(context,
                      "rysunek tworzy więcej niż " + std::to_string(kMaxDrawElements) + " elementów");
    const CommandRuns& command = ThisCommand();
    if (command.refused) return RefuseCommand(context, "");
    if (command.made + context.drawElements > kMaxCommandElements)
        return RefuseCommand(
            context, "obiekty tworzą razem więcej niż " + std::to_string(kMaxCommandElements) + " elementów");
    if (command.statements + context.drawStatements > kMaxCommandStatements)
        return RefuseCommand(context, "obiekty wykonują razem więcej niż " +
                                          std::to_string(kMaxCommandStatements) + " instrukcji");
    return true;
}

void CountRun(const ObjContext& context, bool made) {
    CommandRuns& command = ThisCommand();
    command.statements += context.drawStatements;
    if (made) command.made += context.drawElements;
}

bool TallyArray(ObjContext& context, int copies) {
    if (context.drawRefused) return false;
    if (copies <= kMaxArrayCopies) return true;
    return Refuse(context, "ARRAY ma " + std::to_string(copies) + " kopii, więcej niż " +
                               std::to_string(kMaxArrayCopies));
}

std::optional<std::string> ReadKeywordLine(ObjText& text, bool whole) {
    return ReadTextLine(text, 124, whole);
}

bool IsKeyword(std::string_view line, std::string_view keyword) {
    return zcutEqualsNoCase(line, keyword);
}

}  // namespace draw
