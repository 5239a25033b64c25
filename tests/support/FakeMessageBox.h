#pragma once
// A scripted message-box service for tests: records every box and answers
// from a script (then with a fixed answer). Installs itself while it lives.
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/MessageBox.h"

class cFakeMessageBox : public IMessageBoxService {
public:
    struct BOX {
        std::string strText;      // Shift-JIS, as asked
        std::string strCaption;
        unsigned nType = 0;
        std::thread::id idThread; // the thread that showed it
    };

    cFakeMessageBox() { SetMessageBoxService(this); }
    ~cFakeMessageBox() override { SetMessageBoxService(nullptr); }
    cFakeMessageBox(const cFakeMessageBox&) = delete;
    cFakeMessageBox& operator=(const cFakeMessageBox&) = delete;

    // Answers given in order; once used up, every box gets the fallback
    // (by default the box type's default answer).
    void Script(std::initializer_list<int> answers)
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_vAnswers.insert(m_vAnswers.end(), answers.begin(), answers.end());
    }
    void SetFallback(int nAnswer)
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_nFallback = nAnswer;
        m_bFallback = true;
    }
    // Runs inside Show, before it answers (for checks made while a box is up).
    void OnShow(std::function<void(const BOX&)> fn)
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_fnOnShow = std::move(fn);
    }

    int Show(const char* pszText, const char* pszCaption, unsigned nType) override
    {
        BOX box{pszText ? pszText : "", pszCaption ? pszCaption : "", nType, std::this_thread::get_id()};
        std::function<void(const BOX&)> fn;
        int nAnswer;
        {
            std::lock_guard<std::mutex> lock(m_mtx);
            m_vBoxes.push_back(box);
            fn = m_fnOnShow;
            if (!m_vAnswers.empty()) {
                nAnswer = m_vAnswers.front();
                m_vAnswers.pop_front();
            } else {
                nAnswer = m_bFallback ? m_nFallback : DefaultBoxAnswer(nType);
            }
        }
        if (fn) fn(box);
        return nAnswer;
    }

    std::vector<BOX> Boxes() const
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        return m_vBoxes;
    }
    size_t Count() const
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        return m_vBoxes.size();
    }

private:
    mutable std::mutex m_mtx;
    std::vector<BOX> m_vBoxes;
    std::deque<int> m_vAnswers;
    std::function<void(const BOX&)> m_fnOnShow;
    int m_nFallback = 0;
    bool m_bFallback = false;
};
