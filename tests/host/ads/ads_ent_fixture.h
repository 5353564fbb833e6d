// A fresh editor session with a new drawing database made current, for the
// tests of the classic entity interface, selections and picks.
#pragma once

#include <memory>

#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/db/dbmain.h"
#include "tests/host/ed/ed_fixture.h"

class AdsDrawing : public EdSession {
protected:
    void SetUp() override {
        EdSession::SetUp();
        host::resetEntityInterface();
        host::resetSelections();
        m_db = std::make_unique<ZcDbDatabase>();
        zcdbSetCurDwg(m_db.get());
    }
    void TearDown() override {
        host::resetSelections();
        host::resetEntityInterface();
        zcdbSetCurDwg(nullptr);
        m_db.reset();
        EdSession::TearDown();
    }
    static ZcDbDatabase* db() { return zcdbCurDwg(); }

private:
    std::unique_ptr<ZcDbDatabase> m_db;
};
