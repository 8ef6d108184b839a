#!/usr/bin/env python3
# Writes the flat ODS sources of the import samples: the headings are the
# captions the import offers, followed by example rows. make-samples.sh turns
# them into sample1.xls (contracts) and sample2.xls (counterpart units).
from xml.sax.saxutils import escape

HEAD = '''<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <number:date-style style:name="N1">
   <number:year number:style="long"/><number:text>-</number:text>
   <number:month number:style="long"/><number:text>-</number:text>
   <number:day number:style="long"/>
  </number:date-style>
  <style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>
 </office:automatic-styles>
 <office:body><office:spreadsheet>
'''
TAIL = ' </office:spreadsheet></office:body>\n</office:document>\n'


def cell(v):
    if v is None or v == '':
        return '<table:table-cell/>'
    if isinstance(v, tuple):  # ('date', 'yyyy-mm-dd')
        return ('<table:table-cell table:style-name="ce1" office:value-type="date" '
                f'office:date-value="{v[1]}"><text:p>{v[1]}</text:p></table:table-cell>')
    if isinstance(v, (int, float)):
        return (f'<table:table-cell office:value-type="float" office:value="{v}">'
                f'<text:p>{v}</text:p></table:table-cell>')
    return (f'<table:table-cell office:value-type="string"><text:p>{escape(v)}</text:p>'
            '</table:table-cell>')


def sheet(name, headings, rows):
    out = [f'  <table:table table:name="{name}">']
    for r in [headings] + rows:
        out.append('   <table:table-row>' + ''.join(cell(v) for v in r) + '</table:table-row>')
    out.append('  </table:table>')
    return '\n'.join(out) + '\n'


contract = ['合同编号', '合同名称', '合同类型', '业务员', '签订日期', '合同金额', '合同开始日期',
            '合同截止日期', '合同状态', '合同主要内容', '文件位置', '合同异常描述', '合同归档',
            '归档文件存放位置', '录入日期', '甲方单位', '乙方单位', '甲方负责人', '乙方负责人',
            '收付标志', '币种', '所属部门', '字符项一', '字符项二', '字符项三', '字符项四',
            '字符项五', '日期项一', '日期项二', '日期项三', '数值项一', '数值项二', '数值项三',
            '项目编号', '工程项目']
c1 = {'合同编号': 'HT-2024-001', '合同名称': '办公楼供水工程合同', '业务员': '张三',
      '签订日期': ('date', '2024-01-15'), '合同金额': 120000, '合同开始日期': ('date', '2024-02-01'),
      '合同截止日期': ('date', '2024-12-31'), '合同状态': '执行中',
      '合同主要内容': '办公楼给水管网安装', '合同归档': '否', '甲方单位': '本公司',
      '乙方单位': '某某建设有限公司', '甲方负责人': '李四', '乙方负责人': '王五',
      '收付标志': '付款', '币种': '人民币', '所属部门': '工程部'}
c2 = {'合同编号': 'HT-2024-002', '合同名称': '设备维护服务合同', '业务员': '张三',
      '签订日期': '2024/3/1', '合同金额': '36,000.00', '合同状态': '未生效', '合同归档': '是',
      '甲方单位': '某某科技有限公司', '乙方单位': '本公司', '收付标志': '收款', '币种': '人民币'}
client = ['单位编码', '单位名称', '单位类型', '联系人', '固定电话', '单位地址', '邮编', '传真',
          '手机', '备注', '停用', '开户银行', '银行帐号', '纳税号', '公司主页', '电子邮箱',
          '公司法人']
k1 = {'单位编码': 'C001', '单位名称': '某某建设有限公司', '联系人': '王五', '固定电话': '010-12345678',
      '单位地址': '北京市某区某路1号', '邮编': '100000', '手机': '13800138000', '停用': '否',
      '开户银行': '某某银行某支行', '银行帐号': '6222000000000000', '公司主页': 'www.example.com',
      '电子邮箱': 'info@example.com', '公司法人': '赵六'}

for name, headings, rows in (('sample1', contract, [c1, c2]), ('sample2', client, [k1])):
    with open(name + '.fods', 'w', encoding='utf-8') as f:
        f.write(HEAD + sheet('Sheet1', headings, [[r.get(h) for h in headings] for r in rows])
                + TAIL)
