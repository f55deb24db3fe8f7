#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <minizip/zip.h>

// Statement files in each shape, written by the tests.
namespace StatementFiles_ns {

inline void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

inline QByteArray Gb18030(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

inline QByteArray Utf8Bom(const QString& text) { return QByteArray("\xEF\xBB\xBF") + text.toUtf8(); }

inline QString XmlEscaped(QString text) {
    return text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
}

// A workbook whose first sheet holds the rows. A cell "#n:28.16" is stored as a number,
// "#d:45294.5" as a number in a date format, "#i:text" as an inline string, any other as a
// shared string.
inline void WriteXlsx(const QString& path, const QList<QStringList>& rows) {
    QStringList shared;
    QString sheet = QStringLiteral("<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
                                   "spreadsheetml/2006/main\"><sheetData>");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        sheet += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            const QString cell = rows[r][c];
            if (cell.isEmpty()) continue;  // gaps are left out, as spreadsheets do
            const QString ref = QString(QChar(char16_t(u'A' + c))) + QString::number(r + 1);
            if (cell.startsWith(u"#n:") || cell.startsWith(u"#d:")) {
                sheet += QStringLiteral("<c r=\"%1\" s=\"%2\"><v>%3</v></c>")
                             .arg(ref, cell.startsWith(u"#d:") ? QStringLiteral("1") : QStringLiteral("0"), cell.mid(3));
            } else if (cell.startsWith(u"#i:")) {
                sheet += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>").arg(ref, XmlEscaped(cell.mid(3)));
            } else {
                sheet += QStringLiteral("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(ref).arg(shared.size());
                shared.append(cell);
            }
        }
        sheet += QStringLiteral("</row>");
    }
    sheet += QStringLiteral("</sheetData></worksheet>");
    QString strings = QStringLiteral("<?xml version=\"1.0\"?><sst xmlns=\"http://schemas.openxmlformats.org/"
                                     "spreadsheetml/2006/main\">");
    // Rich text runs and a phonetic hint, which is not part of the text.
    for (const QString& text : shared)
        strings += QStringLiteral("<si><r><t>%1</t></r><rPh><t>x</t></rPh></si>").arg(XmlEscaped(text));
    strings += QStringLiteral("</sst>");
    const QList<std::pair<const char*, QString>> members = {
        {"xl/workbook.xml",
         QStringLiteral("<?xml version=\"1.0\"?><workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/"
                        "2006/relationships\"><sheets><sheet name=\"账单\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>")},
        {"xl/_rels/workbook.xml.rels",
         QStringLiteral("<?xml version=\"1.0\"?><Relationships><Relationship Id=\"rId7\" Target=\"worksheets/bill.xml\"/>"
                        "</Relationships>")},
        {"xl/sharedStrings.xml", strings},
        {"xl/styles.xml",
         QStringLiteral("<?xml version=\"1.0\"?><styleSheet><numFmts><numFmt numFmtId=\"176\" "
                        "formatCode=\"yyyy/m/d\\ h:mm\"/></numFmts><cellXfs><xf numFmtId=\"0\"/>"
                        "<xf numFmtId=\"176\"/></cellXfs></styleSheet>")},
        {"xl/worksheets/bill.xml", sheet}};
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    for (const auto& [name, text] : members) {
        const QByteArray bytes = text.toUtf8();
        zipOpenNewFileInZip(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

// Alipay's statement: eight trades with its stated counts and totals, which leave the
// closed trade out.
inline QString AlipayText() {
    return QStringLiteral(
        "支付宝交易明细\n"
        "账号：[someone@example.com]\n"
        "共8笔记录\n"
        "收入：1笔 100.00元\n"
        "支出：3笔 65.40元\n"
        "不计收支：3笔 30.00元\n"
        "----------------------支付宝（中国）网络技术有限公司  电子客户回单----------------------\n"
        "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,\n"
        "2024-01-05 12:00:00,餐饮美食,某餐厅,/,午餐,支出,35.50,余额宝,交易成功,2024010522001\t,M1\t,,\n"
        "2024-01-06 09:00:00,交通出行,地铁,/,车票,支出,5.00,花呗,交易关闭,2024010622001\t,M2\t,,\n"
        "2024-01-07 10:00:00,日用百货,超市,/,\"纸巾, 大包\",支出,20.00,余额,交易成功,2024010722001\t,M3\t,,\n"
        "2024-01-08 10:00:00,退款,超市,/,退款-纸巾,不计收支,20.00,余额,退款成功,2024010722001_R1\t,M3\t,,\n"
        "2024-01-09 10:00:00,转账红包,张三,/,转账,收入,100.00,余额,交易成功,2024010922001\t,,,\n"
        "2024-01-10 10:00:00,投资理财,余额宝,/,转入,不计收支,5.00,余额,交易成功,2024011022001\t,,,\n"
        "2024-01-11 10:00:00,退款,地铁,/,退款,不计收支,5.00,余额,退款成功,2024010622001_R\t,,,\n"
        "2024-01-12 10:00:00,数码电器,网店,/,McDonald's手机壳壳壳壳😀,支出,9.90,余额,等待付款,2024011222001\t,,,\n");
}

// Alipay's older layout: padded cells, the refund on the trade's own row, totals below.
inline QString AlipayOldText() {
    return QStringLiteral(
        "支付宝交易记录明细查询\n"
        "账号:[20880000000000000156]\n"
        "---------------------------------交易记录明细列表------------------------------------\n"
        "交易号                  ,商家订单号               ,交易创建时间              ,付款时间                ,最近修改时间              ,交易来源地     ,类型              ,交易对方            ,商品名称                ,金额（元）   ,收/支     ,交易状态    ,服务费（元）   ,成功退款（元）  ,备注                  ,资金状态     ,\n"
        "2015031221001001  ,T1  ,2015-03-12 12:00:00 ,2015-03-12 12:00:01 ,2015-03-12 12:00:01 ,其他（包括阿里巴巴和外部商家）,即时到账交易  ,书店  ,书  ,40.00  ,支出  ,交易成功  ,0.00  ,15.00  ,  ,已支出  ,\n"
        "2015031321001002  ,T2  ,2015-03-13 12:00:00 ,  ,2015-03-13 12:00:01 ,淘宝  ,支付宝担保交易  ,店  ,衣  ,60.00  ,支出  ,交易关闭  ,0.00  ,60.00  ,  ,已支出  ,\n"
        "------------------------------------------------------------------------------------\n"
        "共2笔记录\n"
        "已收入:0笔,0.00元\n"
        "待收入:0笔,0.00元\n"
        "已支出:1笔,40.00元\n"
        "待支出:0笔,0.00元\n");
}

// WeChat Pay's statement (its rows also go into the workbook).
inline QList<QStringList> WeChatRows(bool workbook) {
    const auto money = [&](const char* value) {
        return workbook ? QStringLiteral("#n:") + QString::fromLatin1(value) : QStringLiteral("¥") + QString::fromLatin1(value);
    };
    // 2024-01-03 08:00:00 as a workbook day count.
    const QString firstTime = workbook ? QStringLiteral("#d:45294.333333333336") : QStringLiteral("2024-01-03 08:00:00");
    return {{"微信支付账单明细", "", ""},
            {"微信昵称：[某人]", "", ""},
            {"共5笔记录"},
            {"收入：1笔 ¥20.00"},
            {"支出：3笔 ¥128.16"},
            {"中性交易：1笔 ¥50.00"},
            {"----------------------微信支付账单明细列表--------------------"},
            {"交易时间", "交易类型", "交易对方", "商品", "收/支", "金额(元)", "支付方式", "当前状态", "交易单号", "商户单号", "备注"},
            {firstTime, "商户消费", "早餐店", "包子", "支出", money("28.16"), "零钱", "支付成功", "420000000101\t", "10001\t", "/"},
            {"2024-01-04 08:00:00", "商户消费", "网店", "衣服", "支出", money("50.00"), "零钱", "已全额退款", "420000000102\t", "10002\t", "/"},
            {"2024-01-05 08:00:00", "商户消费", "网店", "#i:鞋子", "支出", money("50.00"), "零钱", "已退款(￥20.00)", "420000000103\t", "10003\t", "/"},
            {"2024-01-06 08:00:00", "商户消费-退款", "网店", "鞋子", "收入", money("20.00"), "零钱", "已退款", "420000000104\t", "10004\t", "/"},
            {"2024-01-07 08:00:00", "零钱提现", "招商银行", "/", "/", money("50.00"), "零钱", "提现已到账", "420000000105\t", "/", "/"}};
}

inline QString CsvText(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) text += row.join(u',').replace(QStringLiteral("#i:"), QString()) + u'\n';
    return text;
}

inline QString BankSplitText() {
    return QStringLiteral(
        "账号:6222000000000000\n"
        "交易日期,摘要,收入金额,支出金额,账户余额,对方户名\n"
        "20240102,工资,\"8,000.00\",,\"10,000.00\",某公司\n"
        "20240103,消费,,128.50,\"9,871.50\",超市\n"
        "人民币合计,,\"8,000.00\",128.50,,\n");
}

// Two equal coffees the same morning: without a balance column they look alike.
inline QString BankSignedText() {
    return QStringLiteral(
        "交易日期,交易金额,联机余额,摘要,对方户名\n"
        "2024-01-02,-35.00,,咖啡,咖啡馆\n"
        "2024-01-02,-35.00,,咖啡,咖啡馆\n"
        "2024-01-03,+1.50,,利息,银行\n");
}

}  // namespace StatementFiles_ns
