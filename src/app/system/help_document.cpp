#include "app/system/help_document.h"

#include "data/indicators.h"

#include <QStringList>

namespace kestrova {

namespace {
QString fromView(std::string_view v)
{
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

QString cell(const QString &text)
{
    return QStringLiteral("<td>") + text.toHtmlEscaped() + QStringLiteral("</td>");
}
} // namespace

QString helpDocumentHtml()
{
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Kestrova指标解释</title>\n<style>\n"
        "body{font-family:\"Noto Sans CJK SC\",sans-serif;margin:2em;color:#1d2b36}\n"
        "h1{color:#2a5d84}h2{margin-top:1.6em;color:#2a5d84}\n"
        "table{border-collapse:collapse;width:100%}\n"
        "th,td{border:1px solid #b8c7d3;padding:4px 8px;text-align:left;vertical-align:top}\n"
        "th{background:#e8f0f6}td.k{text-align:right;width:3em}\n"
        "</style>\n</head>\n<body>\n<h1>Kestrova指标解释</h1>\n"
        "<p>每条企业记录含 72 项数值指标，按填报表的三个部分排列。"
        "“序号”即录入表上的栏目号，“字段”为数据库中的列名。</p>\n");
    QString block;
    for (const Indicator &ind : kIndicators) {
        const QString b = fromView(indicatorBlock(ind.k));
        if (b != block) {
            if (!block.isEmpty())
                html += QStringLiteral("</table>\n");
            block = b;
            html += QStringLiteral("<h2>") + block.toHtmlEscaped() + QStringLiteral("</h2>\n<table>\n<tr>"
                                   "<th>序号</th><th>分组</th><th>指标</th><th>字段</th><th>单位</th><th>说明</th></tr>\n");
        }
        QString group = fromView(ind.group);
        group.replace(QLatin1Char('/'), QStringLiteral(" → "));
        QString hint = fromView(ind.hint);
        if (isComputedTotal(ind.k)) {
            int count = 0;
            const auto parts = totalParts(ind.k, count);
            QStringList names;
            for (int i = 0; i < count; ++i)
                names << fromView(indicator(parts[static_cast<size_t>(i)]).column);
            const QString sum = QStringLiteral("由系统自动计算：") + names.join(QStringLiteral(" + "));
            hint = hint.isEmpty() ? sum : hint + QStringLiteral("；") + sum;
        }
        html += QStringLiteral("<tr id=\"a%1\"><td class=\"k\">%1</td>").arg(ind.k) + cell(group) +
                cell(fromView(ind.caption)) + cell(fromView(ind.column)) + cell(fromView(ind.unit)) + cell(hint) +
                QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n</body>\n</html>\n");
    return html;
}

} // namespace kestrova
