// An open object that closes itself: ZcDbObjectPointer<T> opens the object
// of an id as a T in the given mode and closes it when it goes out of
// scope, so no path of the caller leaves it open. openStatus() tells
// whether the open succeeded (eWrongObjectType when the object is not a T,
// the object then left closed); operator-> and get() give the object while
// it is open. close() closes early; release() hands the open object to the
// caller, who then closes it.
//
// It also takes over an object opened by another call (a table's record by
// name, a settings object opened or made on demand) and a new object made
// with new (or by create()): once added to a database that one is closed
// like any other; one that never got there has no other owner and is
// deleted instead, so one handed to an owner still outside a database (an
// attribute to a new insert) must be release()d.
#pragma once

#include <utility>

#include "host/db/dbobject.h"
#include "host/util/hostassert.h"

template <class T>
class ZcDbObjectPointer {
public:
    ZcDbObjectPointer() = default;
    ZcDbObjectPointer(ZcDbObjectId id, ZcDb::OpenMode mode, bool openErased = false) {
        open(id, mode, openErased);
    }
    explicit ZcDbObjectPointer(T* object) noexcept
        : m_object(object), m_status(object ? Zcad::eOk : Zcad::eNullObjectPointer) {}
    ~ZcDbObjectPointer() { close(); }

    ZcDbObjectPointer(const ZcDbObjectPointer&) = delete;
    ZcDbObjectPointer& operator=(const ZcDbObjectPointer&) = delete;
    ZcDbObjectPointer(ZcDbObjectPointer&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr)),
          m_status(std::exchange(other.m_status, Zcad::eNullObjectPointer)) {}
    ZcDbObjectPointer& operator=(ZcDbObjectPointer&& other) noexcept {
        if (this != &other) {
            close();
            m_object = std::exchange(other.m_object, nullptr);
            m_status = std::exchange(other.m_status, Zcad::eNullObjectPointer);
        }
        return *this;
    }

    // Closes what this pointer holds, then opens the object of id.
    Zcad::ErrorStatus open(ZcDbObjectId id, ZcDb::OpenMode mode, bool openErased = false) {
        close();
        m_status = zcdbOpenObject(m_object, id, mode, openErased);
        return m_status;
    }

    // Closes what this pointer holds and holds a new T, not yet in a database.
    Zcad::ErrorStatus create() {
        close();
        m_object = new T;
        m_status = Zcad::eOk;
        return m_status;
    }

    // Closes what this pointer holds and takes over object, leaving the
    // caller's pointer null.
    void acquire(T*& object) {
        close();
        m_object = std::exchange(object, nullptr);
        m_status = m_object ? Zcad::eOk : Zcad::eNullObjectPointer;
    }

    Zcad::ErrorStatus openStatus() const { return m_status; }
    T* get() const { return m_object; }
    T* operator->() const {
        ZC_HOST_ASSERT(m_object != nullptr);
        return m_object;
    }
    T& operator*() const {
        ZC_HOST_ASSERT(m_object != nullptr);
        return *m_object;
    }
    explicit operator bool() const { return m_object != nullptr; }

    Zcad::ErrorStatus close() {
        if (!m_object) return Zcad::eNullObjectPointer;
        T* object = std::exchange(m_object, nullptr);
        m_status = Zcad::eNullObjectPointer;
        if (!object->isDbResident()) {
            delete object;
            return Zcad::eOk;
        }
        return object->close();
    }

    T* release() {
        m_status = Zcad::eNullObjectPointer;
        return std::exchange(m_object, nullptr);
    }

private:
    T* m_object = nullptr;
    Zcad::ErrorStatus m_status = Zcad::eNullObjectPointer;
};
