// VELMPOLYDEDUCT: marking and unmarking, its messages, and its run inside
// another command's prompt.
#include "tests/rooms/rooms_fixture.h"

namespace {

using PolyDeductTest = RoomsTest;

constexpr const char* kMarked = "0=LWPOLYLINE -3=VELM16$_$DETRAIPOLIGONI-";

TEST_F(PolyDeductTest, marks_and_unmarks_closed_polylines) {
    run({"_PLINE", "0,0", "10,0", "10,10", "0,10", "Close"});
    run({"_PLINE", "20,0", "30,0", "30,10", "20,10", "Close"});
    run({"_PLINE", "40,0", "50,0", "50,10", ""});
    run({"_LINE", "60,0", "70,0", ""});
    EXPECT_EQ(count("0=LWPOLYLINE"), 3);

    // The queue answers each prompt in turn; a miss asks again, Enter ends.
    run({"VELMPOLYDEDUCT", "!pick 5,0", "!pick 25,0", "!pick 5,0", "!pick 45,0", "!pick 65,0",
         "!pick 500,500", "Usuń", "!pick 25,0", "!pick 25,0", "Dodaj", "!pick 25,0", ""});
    const std::string& t = transcript();
    std::size_t at = 0;
    for (const char* message :
         {"Wybrana polilinia jest już odliczona.", "Wybrana polilinia nie jest zamknięta.",
          "Wybrana jednostka nie jest zamkniętą polilinią.", "[Dodaj odliczenie]",
          "Wybrana polilinia nie podlega odliczeniu.", "[Usuń odliczenie]"}) {
        at = t.find(message, at);
        ASSERT_NE(at, std::string::npos) << message;
    }
    EXPECT_EQ(count(kMarked), 2);

    run({"VELMPOLYDEDUCT", "Usuń", "!pick 25,0", ""});
    EXPECT_EQ(count(kMarked), 1);
    run({"VELMPOLYDEDUCT", "!cancel"});  // cancel ends the command
    EXPECT_EQ(count(kMarked), 1);
}

TEST_F(PolyDeductTest, runs_inside_a_line_prompt) {
    run({"_PLINE", "0,0", "10,0", "10,10", "0,10", "Close"});
    run({"_LINE", "100,100", "'VELMPOLYDEDUCT", "!pick 5,0", "", "200,100", ""});
    EXPECT_EQ(count(kMarked), 1);
    EXPECT_EQ(count("0=LINE"), 1);
}

}  // namespace
