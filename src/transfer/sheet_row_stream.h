#pragma once
// The rows of one sheet, decoded and made into items on a thread of their own, so that
// the workbook is read and its values checked while the database writes the rows
// before. Items arrive in row order, in batches; at most a few batches wait, so memory
// stays bounded however long the sheet is. Taken items come back to the reading thread
// to be filled again: neither thread frees what the other allocated.
#include "xls/reader.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrova::transfer {

template <typename Item>
class SheetRowStream {
public:
    using Cells = std::vector<xls::WorkbookReader::CellView>;
    // Fills the item of a row (0-based row number) on the reading thread; the item may
    // hold what an earlier row left in it. What it throws ends the stream there.
    using Make = std::function<void(int row, const Cells &cells, Item &item)>;

    // book must outlive the stream.
    SheetRowStream(const xls::WorkbookReader &book, std::string sheet, Make make) : m_make(std::move(make))
    {
        m_thread = std::thread([this, &book, sheet = std::move(sheet)] { produce(book, sheet); });
    }
    // Stops the reading thread if it is still running and waits for it.
    ~SheetRowStream()
    {
        {
            std::lock_guard lock(m_mutex);
            m_cancelled = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    SheetRowStream(const SheetRowStream &) = delete;
    SheetRowStream &operator=(const SheetRowStream &) = delete;

    // The next item, swapped with what item held; false after the last one. Once the
    // items before it were taken, throws what the reader or make threw.
    bool next(Item &item)
    {
        if (m_taken == m_current.size()) {
            std::unique_lock lock(m_mutex);
            if (!m_current.empty())
                m_spare.push_back(std::move(m_current));
            m_current.clear();
            m_changed.wait(lock, [this] { return m_done || !m_ready.empty(); });
            if (m_ready.empty()) {
                if (m_failure)
                    std::rethrow_exception(m_failure);
                return false;
            }
            m_current = std::move(m_ready.front());
            m_ready.pop_front();
            m_taken = 0;
            lock.unlock();
            m_changed.notify_all();
        }
        std::swap(item, m_current[m_taken++]);
        return true;
    }

private:
    static constexpr size_t kBatchRows = 256;
    static constexpr size_t kWaitingBatches = 8;
    struct Cancelled {};

    void push(std::vector<Item> &batch)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_cancelled || m_ready.size() < kWaitingBatches; });
        if (m_cancelled)
            throw Cancelled{};
        m_ready.push_back(std::move(batch));
        batch.clear();
        if (!m_spare.empty()) {
            batch = std::move(m_spare.back());
            m_spare.pop_back();
        }
        lock.unlock();
        m_changed.notify_all();
    }

    void produce(const xls::WorkbookReader &book, const std::string &sheet)
    {
        std::exception_ptr failure;
        std::vector<Item> batch(kBatchRows);
        size_t filled = 0;
        try {
            book.forEachRowView(sheet, [&](int row, const Cells &cells) {
                m_make(row, cells, batch[filled]);
                if (++filled == kBatchRows) {
                    push(batch);
                    batch.resize(kBatchRows);
                    filled = 0;
                }
            });
        } catch (const Cancelled &) {
            // The consumer has gone; nothing to hand over.
            filled = 0;
        } catch (...) {
            failure = std::current_exception();
        }
        try {
            // Items made before a failure still come first.
            if (filled > 0) {
                batch.resize(filled);
                push(batch);
            }
        } catch (const Cancelled &) {
        }
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
            m_failure = failure;
        }
        m_changed.notify_all();
    }

    Make m_make;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<Item>> m_ready;
    std::vector<std::vector<Item>> m_spare; // taken batches, to be filled again
    bool m_done = false;
    bool m_cancelled = false;
    std::exception_ptr m_failure;
    std::vector<Item> m_current;
    size_t m_taken = 0;
    std::thread m_thread;
};

} // namespace kestrova::transfer
