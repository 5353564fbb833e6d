// LISP calls: argument parsing, value printing, undefined and failing
// functions, functions run as commands.
#include <string>

#include "host/ads/lisp.h"
#include "host/ads/rbutil.h"
#include "host/ed/cmdproc.h"
#include "tests/host/ed/ed_fixture.h"

namespace {

// Stands in for a module's entry point on message 5: code 0 echoes its
// arguments back, code 1 answers a fixed text, code 2 fails.
int moduleEntry() {
    switch (zcedGetFunCode()) {
        case 0:
            return zcedRetVal(zcedGetArgs());
        case 1:
            return zcedRetStr("gotowe \"ok\"");
        case 2:
            return RTERROR;
        case 3:
            return zcedRetVoid();
        default:
            return RTERROR;
    }
}

class Lisp : public EdSession {
protected:
    void SetUp() override {
        EdSession::SetUp();
        host::setLispInvoker(moduleEntry);
        ASSERT_EQ(zcedDefun("echo", 0), RTNORM);
        ASSERT_EQ(zcedDefun("velmgetvar", 1), RTNORM);
        ASSERT_EQ(zcedDefun("broken", 2), RTNORM);
        ASSERT_EQ(zcedDefun("c:ddlcolor", 3), RTNORM);
    }
    void TearDown() override {
        host::setLispInvoker(nullptr);
        EdSession::TearDown();
    }
};

TEST_F(Lisp, arguments_are_parsed_into_typed_values) {
    std::string name;
    auto args =
        host::parseLispArgs("(velmsetvar \"SQPAV\" 300 2.5 70000 '(1 2) '(1 2.5 3) '(\"a\" 1) nil T)", &name);
    ASSERT_TRUE(args);
    EXPECT_EQ(name, "velmsetvar");
    const resbuf* r = *args;
    EXPECT_EQ(r->restype, RTSTR);
    EXPECT_STREQ(r->resval.rstring, "SQPAV");
    EXPECT_EQ((r = r->rbnext)->restype, RTSHORT);
    EXPECT_EQ(r->resval.rint, 300);
    EXPECT_EQ((r = r->rbnext)->restype, RTREAL);
    EXPECT_EQ((r = r->rbnext)->restype, RTLONG);
    EXPECT_EQ((r = r->rbnext)->restype, RTPOINT);
    EXPECT_EQ((r = r->rbnext)->restype, RT3DPOINT);
    EXPECT_DOUBLE_EQ(r->resval.rpoint[1], 2.5);
    EXPECT_EQ((r = r->rbnext)->restype, RTLB);
    EXPECT_EQ((r = r->rbnext)->restype, RTSTR);
    EXPECT_EQ((r = r->rbnext)->restype, RTSHORT);
    EXPECT_EQ((r = r->rbnext)->restype, RTLE);
    EXPECT_EQ((r = r->rbnext)->restype, RTNIL);
    EXPECT_EQ((r = r->rbnext)->restype, RTT);
    EXPECT_EQ(r->rbnext, nullptr);
    zcutRelRb(*args);
}

TEST_F(Lisp, syntax_errors_are_refused_without_a_call) {
    EXPECT_FALSE(host::parseLispArgs("(echo \"open", nullptr));
    EXPECT_FALSE(host::parseLispArgs("(echo (1 2)", nullptr));
    EXPECT_FALSE(host::parseLispArgs("(echo 1) extra", nullptr));
    EXPECT_EQ(host::evaluateLispLine("(echo symbol)"), RTERROR);
}

TEST_F(Lisp, values_print_in_lisp_form_and_survive_a_round_trip) {
    EXPECT_EQ(host::evaluateLispLine("(echo \"a\\\"b\" 1 2.5 '(1 2 3) '(\"x\" 1) nil)"), RTNORM);
    EXPECT_EQ(host::lastLispValue(), "\"a\\\"b\" 1 2.5 (1.0 2.0 3.0) (\"x\" 1) nil");
    EXPECT_EQ(host::evaluateLispLine("(velmgetvar \"X\")"), RTNORM);
    EXPECT_NE(transcript().find("\n\"gotowe \\\"ok\\\"\""), std::string::npos);
}

TEST_F(Lisp, undefined_function_prints_the_host_error) {
    EXPECT_EQ(host::evaluateLispLine("(nosuch 1)"), RTERROR);
    EXPECT_NE(transcript().find("; błąd: brak funkcji: NOSUCH"), std::string::npos);
    EXPECT_EQ(zcedUndef("echo", 0), RTNORM);
    EXPECT_EQ(zcedUndef("echo", 0), RTERROR);
    EXPECT_EQ(host::evaluateLispLine("(echo 1)"), RTERROR);
}

TEST_F(Lisp, a_failing_function_reports_an_error) {
    EXPECT_EQ(host::evaluateLispLine("(broken)"), RTERROR);
}

TEST_F(Lisp, c_functions_run_as_commands_and_lines_run_from_the_queue) {
    feed({"ddlcolor", "(echo 42)"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_EQ(host::lastLispValue(), "42");
    EXPECT_EQ(zcedGetFunCode(), RTERROR) << "no call in progress";
}

}  // namespace

TEST_F(Lisp, each_drawing_keeps_its_own_functions) {
    int first = 0, second = 0;
    const void* current = &first;
    host::setLispScopeProvider([&]() -> const void* { return current; });
    ASSERT_EQ(zcedDefun("velmgetvar", 2), RTNORM);
    EXPECT_TRUE(host::lispFunctionDefined("VELMGETVAR"));

    current = &second;
    EXPECT_FALSE(host::lispFunctionDefined("velmgetvar"));
    {
        // A drawing being closed is the scope of its own undefinitions.
        host::LispScopeOverride closing(&first);
        EXPECT_EQ(zcedUndef("velmgetvar", 2), RTNORM);
    }
    current = &first;
    EXPECT_FALSE(host::lispFunctionDefined("velmgetvar"));
    ASSERT_EQ(zcedDefun("velmgetvar", 2), RTNORM);
    host::forgetLispScope(&first);
    EXPECT_FALSE(host::lispFunctionDefined("velmgetvar"));
    host::setLispScopeProvider(nullptr);
}
