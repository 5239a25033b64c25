#pragma once
// Vectors and lists with checked access by index.
//
// A bad index writes "err V[%d] ( %d , %d )" (or "err L[...]") with the
// index, the size and the element size to the logs, posts a fatal close
// request and returns a usable element: a per-instance scratch copy of
// element 0 (or a default element for an empty container), so the frame can
// finish and real element 0 is never overwritten by a bad write.
#include <iterator>
#include <list>
#include <memory>
#include <vector>

void ReportCheckedAccessError(char chKind, int nIndex, int nSize, int nElemSize);

template <class T>
class cChkVector : public std::vector<T> {
public:
    using std::vector<T>::vector;
    cChkVector() = default;
    cChkVector(const cChkVector& o) : std::vector<T>(o) {}
    cChkVector(cChkVector&& o) noexcept : std::vector<T>(std::move(o)) {}
    cChkVector& operator=(const cChkVector& o) { std::vector<T>::operator=(o); return *this; }
    cChkVector& operator=(cChkVector&& o) noexcept { std::vector<T>::operator=(std::move(o)); return *this; }

    T& At(int i) {
        if (i >= 0 && static_cast<size_t>(i) < this->size()) return (*this)[i];
        ReportCheckedAccessError('V', i, static_cast<int>(this->size()), static_cast<int>(sizeof(T)));
        return Scratch();
    }
    const T& At(int i) const { return const_cast<cChkVector*>(this)->At(i); }
    bool IsValid(int i) const { return i >= 0 && static_cast<size_t>(i) < this->size(); }
    void Fill(const T& value) {
        for (int i = 0; i < static_cast<int>(this->size()); i++) At(i) = value;
    }

private:
    // The scratch object keeps its address once made, so a reference from an
    // earlier bad access stays valid when another one follows.
    T& Scratch() {
        if (!m_pScratch) m_pScratch = std::make_unique<T>();
        if (this->empty()) *m_pScratch = T();
        else *m_pScratch = (*this)[0];
        return *m_pScratch;
    }
    std::unique_ptr<T> m_pScratch;
};

template <class T>
class cChkList : public std::list<T> {
public:
    using std::list<T>::list;
    cChkList() = default;
    cChkList(const cChkList& o) : std::list<T>(o) {}
    cChkList(cChkList&& o) noexcept : std::list<T>(std::move(o)) {}
    cChkList& operator=(const cChkList& o) { std::list<T>::operator=(o); return *this; }
    cChkList& operator=(cChkList&& o) noexcept { std::list<T>::operator=(std::move(o)); return *this; }

    using iterator = typename std::list<T>::iterator;

    T& At(int i) {
        if (i >= 0 && static_cast<size_t>(i) < this->size()) {
            auto it = this->begin();
            std::advance(it, i);
            return *it;
        }
        ReportCheckedAccessError('L', i, static_cast<int>(this->size()), static_cast<int>(sizeof(T)));
        if (!m_pDefault) m_pDefault = std::make_unique<T>();
        return *m_pDefault;
    }
    void InsertAt(int i, const T& value) {
        if (i == 0) { this->push_front(value); return; }
        if (i > 0 && static_cast<size_t>(i) < this->size()) {
            auto it = this->begin();
            std::advance(it, i);
            this->insert(it, value);
            return;
        }
        this->push_back(value);
    }
    iterator EraseAt(int i) {
        if (i < 0 || static_cast<size_t>(i) >= this->size()) return this->end();
        auto it = this->begin();
        std::advance(it, i);
        return this->erase(it);
    }
    iterator Erase(const T* p) {
        for (auto it = this->begin(); it != this->end(); ++it)
            if (&*it == p) return this->erase(it);
        return this->end();
    }

private:
    std::unique_ptr<T> m_pDefault;  // the instance's default element, kept once made
};
