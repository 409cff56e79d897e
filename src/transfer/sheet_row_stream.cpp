#include "transfer/sheet_row_stream.h"

namespace kestrova::transfer {

namespace {
constexpr size_t kBatchRows = 256;
constexpr size_t kWaitingBatches = 8;
struct Cancelled {};
} // namespace

SheetRowStream::SheetRowStream(const xls::WorkbookReader &book, std::string sheet)
{
    m_thread = std::thread([this, &book, sheet = std::move(sheet)] { produce(book, sheet); });
}

SheetRowStream::~SheetRowStream()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void SheetRowStream::push(Batch &batch)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_cancelled || m_ready.size() < kWaitingBatches; });
    if (m_cancelled)
        throw Cancelled{};
    m_ready.push_back(std::move(batch));
    batch = Batch{};
    lock.unlock();
    m_changed.notify_all();
}

void SheetRowStream::produce(const xls::WorkbookReader &book, const std::string &sheet)
{
    std::exception_ptr failure;
    try {
        Batch batch;
        book.forEachRow(sheet, [&](int row, const Cells &cells) {
            batch.rows.push_back(row);
            batch.cells.push_back(cells);
            if (batch.rows.size() == kBatchRows)
                push(batch);
        });
        if (!batch.rows.empty())
            push(batch);
    } catch (const Cancelled &) {
        // The consumer has gone; nothing to hand over.
    } catch (...) {
        failure = std::current_exception();
    }
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
        m_failure = failure;
    }
    m_changed.notify_all();
}

bool SheetRowStream::next(int &row, Cells &cells)
{
    if (m_taken == m_current.rows.size()) {
        std::unique_lock lock(m_mutex);
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
    row = m_current.rows[m_taken];
    cells = std::move(m_current.cells[m_taken]);
    ++m_taken;
    return true;
}

} // namespace kestrova::transfer
