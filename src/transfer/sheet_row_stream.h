#pragma once
// The rows of one sheet, decoded on a thread of their own, so that the workbook is read
// while the database writes the rows before. Rows arrive in order, in batches; at most
// a few batches wait, so memory stays bounded however long the sheet is.
#include "xls/reader.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrova::transfer {

class SheetRowStream {
public:
    using Cells = std::vector<std::string>;
    // book must outlive the stream.
    SheetRowStream(const xls::WorkbookReader &book, std::string sheet);
    // Stops the reading thread if it is still running and waits for it.
    ~SheetRowStream();
    SheetRowStream(const SheetRowStream &) = delete;
    SheetRowStream &operator=(const SheetRowStream &) = delete;

    // The next row with its 0-based row number; false after the last one. Throws what
    // the reader threw (XlsError) once the rows before it were taken.
    bool next(int &row, Cells &cells);

private:
    struct Batch {
        std::vector<int> rows;
        std::vector<Cells> cells;
    };
    void produce(const xls::WorkbookReader &book, const std::string &sheet);
    void push(Batch &batch);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_ready;
    bool m_done = false;
    bool m_cancelled = false;
    std::exception_ptr m_failure;
    Batch m_current;
    size_t m_taken = 0;
    std::thread m_thread;
};

} // namespace kestrova::transfer
