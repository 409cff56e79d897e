#include "app/ui/workbook_save.h"

#include "app/ui/prompter.h"
#include "data/database.h"
#include "data/file_error.h"

#include <exception>

namespace kestrova::ui {

bool saveWorkbookAs(QWidget *parent, const QString &suggestedName, const std::function<void(const QString &)> &write,
                    const QString &caption)
{
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.caption = caption;
    request.defaultSuffix = QStringLiteral("xls");
    request.filter = kWorkbookFilter;
    request.suggestedName = suggestedName;
    const std::optional<QString> path = prompter().file(parent, request);
    if (!path)
        return false;
    try {
        write(*path);
    } catch (const FileError &e) {
        prompter().error(parent, e.message());
        return false;
    } catch (const DbError &e) {
        prompter().error(parent, e.message());
        return false;
    } catch (const std::exception &e) {
        prompter().error(parent, QString::fromUtf8(e.what()));
        return false;
    }
    prompter().message(parent, QStringLiteral("提示"), QStringLiteral("保存成功！"), Icon::Information);
    return true;
}

} // namespace kestrova::ui
