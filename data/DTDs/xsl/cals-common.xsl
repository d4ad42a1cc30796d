<?xml version="1.0" encoding="UTF-8"?>
<!--
  CALS tables to HTML tables (XSLT 1.0 with exsl:node-set).

  Use: <xsl:apply-templates select="TABLE-ELEMENT" mode="cals"/>. Entry and title
  content is rendered in the default mode, so the including stylesheet decides how
  inline markup looks.

  The table is first copied with its structural element and attribute names
  lower-cased (loose table files often come in upper case), tgroup children put in
  the order thead, tbody, tfoot. Rows are then laid out one by one carrying a
  "pending spans" string "col:rowsLeft;..." so that each entry lands past the columns
  still covered by morerows spans from rows above.

  The build copies everything between the two CALS-COMMON markers below into the page
  stylesheet XslShelf/cals.xsl (it must not depend on the data folder).
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:exsl="http://exslt.org/common" exclude-result-prefixes="exsl">
<!-- BEGIN CALS-COMMON -->
<xsl:variable name="cals-uc" select="'ABCDEFGHIJKLMNOPQRSTUVWXYZ'"/>
<xsl:variable name="cals-lc" select="'abcdefghijklmnopqrstuvwxyz'"/>
<xsl:variable name="cals-names"
              select="'|table|tgroup|colspec|spanspec|thead|tbody|tfoot|row|entry|entrytbl|title|'"/>
<xsl:variable name="cals-line" select="'1px solid #000'"/>

<!-- Entry point: any CALS table element. -->
<xsl:template match="*" mode="cals">
  <xsl:variable name="norm">
    <xsl:apply-templates select="." mode="cals-lc"/>
  </xsl:variable>
  <xsl:apply-templates select="exsl:node-set($norm)/*" mode="cals-table"/>
</xsl:template>

<!-- Normalisation: structural names in lower case, everything else copied as is. -->
<xsl:template match="*" mode="cals-lc">
  <xsl:param name="base" select="0"/>
  <xsl:variable name="n" select="translate(local-name(), $cals-uc, $cals-lc)"/>
  <xsl:choose>
    <xsl:when test="namespace-uri() = '' and contains($cals-names, concat('|', $n, '|'))">
      <xsl:element name="{$n}">
        <xsl:for-each select="@*">
          <xsl:variable name="a" select="translate(local-name(), $cals-uc, $cals-lc)"/>
          <xsl:attribute name="{$a}">
            <xsl:choose>
              <xsl:when test="$a = 'frame' or $a = 'align' or $a = 'valign'">
                <xsl:value-of select="normalize-space(translate(., $cals-uc, $cals-lc))"/>
              </xsl:when>
              <xsl:otherwise><xsl:value-of select="normalize-space(.)"/></xsl:otherwise>
            </xsl:choose>
          </xsl:attribute>
        </xsl:for-each>
        <!-- Rows are numbered through body and footer, for the span bookkeeping. -->
        <xsl:if test="$n = 'row'">
          <xsl:attribute name="cals-n"><xsl:value-of select="$base + position()"/></xsl:attribute>
        </xsl:if>
        <xsl:choose>
          <xsl:when test="$n = 'entry' or $n = 'title'">
            <xsl:copy-of select="node()"/>
          </xsl:when>
          <xsl:when test="$n = 'tgroup' or $n = 'entrytbl'">
            <xsl:for-each select="*">
              <xsl:variable name="c" select="translate(local-name(), $cals-uc, $cals-lc)"/>
              <xsl:if test="$c = 'colspec' or $c = 'spanspec'">
                <xsl:apply-templates select="." mode="cals-lc"/>
              </xsl:if>
            </xsl:for-each>
            <xsl:apply-templates mode="cals-lc"
                select="*[translate(local-name(), $cals-uc, $cals-lc) = 'thead']"/>
            <xsl:variable name="bodies" select="*[translate(local-name(), $cals-uc, $cals-lc) = 'tbody']"/>
            <xsl:for-each select="$bodies">
              <xsl:apply-templates select="." mode="cals-lc">
                <xsl:with-param name="base" select="count(preceding-sibling::*[count(. | $bodies) = count($bodies)]/*[translate(local-name(), $cals-uc, $cals-lc) = 'row'])"/>
              </xsl:apply-templates>
            </xsl:for-each>
            <xsl:apply-templates mode="cals-lc"
                select="*[translate(local-name(), $cals-uc, $cals-lc) = 'tfoot']">
              <xsl:with-param name="base" select="count($bodies/*[translate(local-name(), $cals-uc, $cals-lc) = 'row'])"/>
            </xsl:apply-templates>
          </xsl:when>
          <xsl:when test="$n = 'thead' or $n = 'tbody' or $n = 'tfoot'">
            <xsl:apply-templates select="*" mode="cals-lc">
              <xsl:with-param name="base" select="$base"/>
            </xsl:apply-templates>
          </xsl:when>
          <xsl:otherwise>
            <xsl:apply-templates select="node()" mode="cals-lc"/>
          </xsl:otherwise>
        </xsl:choose>
      </xsl:element>
    </xsl:when>
    <xsl:otherwise>
      <xsl:copy-of select="."/>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="text()" mode="cals-lc">
  <xsl:copy-of select="."/>
</xsl:template>

<xsl:template match="comment()|processing-instruction()" mode="cals-lc"/>

<!-- One HTML table per tgroup; the title is the first one's caption. -->
<xsl:template match="*" mode="cals-table">
  <xsl:variable name="frame">
    <xsl:choose>
      <xsl:when test="@frame"><xsl:value-of select="@frame"/></xsl:when>
      <xsl:otherwise>all</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <div class="cals">
    <xsl:if test="@id"><xsl:attribute name="id"><xsl:value-of select="@id"/></xsl:attribute></xsl:if>
    <xsl:for-each select="tgroup">
      <xsl:variable name="top" select="position() = 1 and
          ($frame = 'all' or $frame = 'top' or $frame = 'topbot')"/>
      <xsl:variable name="bottom" select="position() = last() and
          ($frame = 'all' or $frame = 'bottom' or $frame = 'topbot')"/>
      <xsl:variable name="sides" select="$frame = 'all' or $frame = 'sides'"/>
      <table class="cals">
        <xsl:attribute name="style">
          <xsl:text>border-collapse:collapse</xsl:text>
          <xsl:if test="$top">;border-top:<xsl:value-of select="$cals-line"/></xsl:if>
          <xsl:if test="$bottom">;border-bottom:<xsl:value-of select="$cals-line"/></xsl:if>
          <xsl:if test="$sides">;border-left:<xsl:value-of select="$cals-line"/>;border-right:<xsl:value-of select="$cals-line"/></xsl:if>
          <!-- Shares of the width only mean something when the table takes the full width. -->
          <xsl:if test="colspec[contains(@colwidth, '*')] and not(colspec[@colwidth != ''][not(contains(@colwidth, '*'))])">;width:100%</xsl:if>
        </xsl:attribute>
        <xsl:if test="position() = 1 and ../title">
          <caption><xsl:apply-templates select="../title/node()"/></caption>
        </xsl:if>
        <xsl:call-template name="cals-group">
          <xsl:with-param name="last-group" select="position() = last()"/>
        </xsl:call-template>
      </table>
    </xsl:for-each>
    <!-- Whatever else the table holds (notes, or everything when there is no tgroup to
         lay out) keeps its text. -->
    <xsl:variable name="rest" select="*[not(self::tgroup or self::title[current()/tgroup])] | text()[normalize-space() != '']"/>
    <xsl:if test="$rest">
      <div class="cals-note"><xsl:apply-templates select="$rest"/></div>
    </xsl:if>
  </div>
</xsl:template>

<!-- Column widths: proportional "2*" as percentages, fixed lengths as CSS lengths;
     a mixed "2*+1in" keeps only its proportional part. -->
<xsl:template name="cals-colspecs">
  <xsl:param name="specs"/>
  <xsl:param name="i" select="1"/>
  <xsl:param name="prev" select="0"/>
  <xsl:if test="$i &lt;= count($specs)">
    <xsl:variable name="s" select="$specs[$i]"/>
    <xsl:variable name="n">
      <xsl:choose>
        <xsl:when test="floor(number($s/@colnum)) &gt; 0"><xsl:value-of select="floor(number($s/@colnum))"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="$prev + 1"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="w" select="translate(translate($s/@colwidth, ' ', ''), $cals-uc, $cals-lc)"/>
    <c n="{$n}" name="{$s/@colname}" align="{$s/@align}" colsep="{$s/@colsep}" rowsep="{$s/@rowsep}">
      <xsl:choose>
        <xsl:when test="contains($w, '*')">
          <xsl:variable name="p" select="substring-before($w, '*')"/>
          <xsl:variable name="pp" select="substring-after($p, '+')"/>
          <xsl:choose>
            <xsl:when test="$p = ''"><xsl:attribute name="p">1</xsl:attribute></xsl:when>
            <xsl:when test="number($p) &gt; 0"><xsl:attribute name="p"><xsl:value-of select="number($p)"/></xsl:attribute></xsl:when>
            <xsl:when test="number($pp) &gt; 0"><xsl:attribute name="p"><xsl:value-of select="number($pp)"/></xsl:attribute></xsl:when>
            <xsl:otherwise><xsl:attribute name="p">1</xsl:attribute></xsl:otherwise>
          </xsl:choose>
        </xsl:when>
        <xsl:when test="$w != ''">
          <xsl:variable name="num" select="translate($w, 'abcdefghijklmnopqrstuvwxyz', '')"/>
          <xsl:variable name="unit" select="substring-after($w, $num)"/>
          <xsl:if test="number($num) &gt; 0">
            <xsl:attribute name="fx">
              <xsl:value-of select="number($num)"/>
              <xsl:choose>
                <xsl:when test="$unit = 'pi'">pc</xsl:when>
                <xsl:when test="$unit = 'in' or $unit = 'mm' or $unit = 'cm' or $unit = 'pt' or $unit = 'px' or $unit = 'pc'">
                  <xsl:value-of select="$unit"/>
                </xsl:when>
                <xsl:otherwise>pt</xsl:otherwise>
              </xsl:choose>
            </xsl:attribute>
          </xsl:if>
        </xsl:when>
      </xsl:choose>
    </c>
    <xsl:call-template name="cals-colspecs">
      <xsl:with-param name="specs" select="$specs"/>
      <xsl:with-param name="i" select="$i + 1"/>
      <xsl:with-param name="prev" select="$n"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<xsl:template name="cals-cols">
  <xsl:param name="cs"/>
  <xsl:param name="cols"/>
  <xsl:param name="psum"/>
  <xsl:param name="i" select="1"/>
  <xsl:if test="$i &lt;= $cols">
    <xsl:variable name="c" select="$cs[@n = $i][1]"/>
    <col>
      <xsl:choose>
        <xsl:when test="$c/@fx">
          <xsl:attribute name="style">width:<xsl:value-of select="$c/@fx"/></xsl:attribute>
        </xsl:when>
        <xsl:otherwise>
          <xsl:variable name="p">
            <xsl:choose>
              <xsl:when test="$c/@p"><xsl:value-of select="$c/@p"/></xsl:when>
              <xsl:otherwise>1</xsl:otherwise>
            </xsl:choose>
          </xsl:variable>
          <xsl:attribute name="style">width:<xsl:value-of select="format-number(100 * $p div $psum, '0.##')"/>%</xsl:attribute>
        </xsl:otherwise>
      </xsl:choose>
    </col>
    <xsl:call-template name="cals-cols">
      <xsl:with-param name="cs" select="$cs"/>
      <xsl:with-param name="cols" select="$cols"/>
      <xsl:with-param name="psum" select="$psum"/>
      <xsl:with-param name="i" select="$i + 1"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<!-- A tgroup or an entrytbl: colgroup, header rows, body and footer rows. -->
<xsl:template name="cals-group">
  <xsl:param name="last-group" select="true()"/>
  <xsl:variable name="csrtf">
    <xsl:call-template name="cals-colspecs">
      <xsl:with-param name="specs" select="colspec"/>
    </xsl:call-template>
  </xsl:variable>
  <xsl:variable name="cs" select="exsl:node-set($csrtf)/c"/>
  <xsl:variable name="widest">
    <xsl:for-each select="*/row">
      <xsl:sort select="count(entry|entrytbl)" data-type="number" order="descending"/>
      <xsl:if test="position() = 1"><xsl:value-of select="count(entry|entrytbl)"/></xsl:if>
    </xsl:for-each>
  </xsl:variable>
  <xsl:variable name="cols">
    <xsl:choose>
      <xsl:when test="floor(number(@cols)) &gt; 0"><xsl:value-of select="floor(number(@cols))"/></xsl:when>
      <xsl:when test="count($cs) &gt;= number(concat('0', $widest))"><xsl:value-of select="count($cs)"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="$widest"/></xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:if test="$cs[@p or @fx]">
    <colgroup>
      <xsl:call-template name="cals-cols">
        <xsl:with-param name="cs" select="$cs"/>
        <xsl:with-param name="cols" select="$cols"/>
        <xsl:with-param name="psum" select="sum($cs[@n &lt;= $cols]/@p) + $cols - count($cs[@n &lt;= $cols][@p or @fx])"/>
      </xsl:call-template>
    </colgroup>
  </xsl:if>
  <xsl:if test="thead/row">
    <thead>
      <xsl:call-template name="cals-rows">
        <xsl:with-param name="rows" select="thead/row"/>
        <xsl:with-param name="cs" select="$cs"/>
        <xsl:with-param name="cols" select="$cols"/>
        <xsl:with-param name="at-end" select="false()"/>
      </xsl:call-template>
    </thead>
  </xsl:if>
  <!-- Body and footer share one row group, so a span may run on into the footer. -->
  <xsl:if test="tbody/row | tfoot/row">
    <tbody>
      <xsl:call-template name="cals-rows">
        <xsl:with-param name="rows" select="tbody/row | tfoot/row"/>
        <xsl:with-param name="cs" select="$cs"/>
        <xsl:with-param name="cols" select="$cols"/>
        <xsl:with-param name="at-end" select="$last-group"/>
      </xsl:call-template>
    </tbody>
  </xsl:if>
</xsl:template>

<!-- Each run of rows joined by row spans is laid out by one recursion that carries
     the pending spans; a row that no span from above reaches starts a new run, so
     long tables do not recurse deeply. -->
<xsl:template name="cals-rows">
  <xsl:param name="rows"/>
  <xsl:param name="cs"/>
  <xsl:param name="cols"/>
  <xsl:param name="at-end"/>
  <xsl:variable name="total" select="count($rows)"/>
  <xsl:variable name="spanning" select="$rows[*[floor(number(@morerows)) &gt; 0]]"/>
  <xsl:for-each select="$rows">
    <xsl:variable name="n" select="number(@cals-n)"/>
    <xsl:if test="not($spanning[number(@cals-n) &lt; $n][*[number(@morerows) &gt;= $n - number(../@cals-n)]])">
      <xsl:call-template name="cals-row">
        <xsl:with-param name="row" select="."/>
        <xsl:with-param name="pending" select="''"/>
        <xsl:with-param name="total" select="$total"/>
        <xsl:with-param name="cs" select="$cs"/>
        <xsl:with-param name="cols" select="$cols"/>
        <xsl:with-param name="at-end" select="$at-end"/>
      </xsl:call-template>
    </xsl:if>
  </xsl:for-each>
</xsl:template>

<xsl:template name="cals-row">
  <xsl:param name="row"/>
  <xsl:param name="pending"/>
  <xsl:param name="total"/>
  <xsl:param name="cs"/>
  <xsl:param name="cols"/>
  <xsl:param name="at-end"/>
  <xsl:variable name="layrtf">
    <xsl:call-template name="cals-layout">
      <xsl:with-param name="entries" select="$row/entry | $row/entrytbl"/>
      <xsl:with-param name="cursor" select="1"/>
      <xsl:with-param name="pending" select="$pending"/>
      <xsl:with-param name="cs" select="$cs"/>
      <xsl:with-param name="cols" select="$cols"/>
    </xsl:call-template>
  </xsl:variable>
  <xsl:variable name="lay" select="exsl:node-set($layrtf)/*"/>
  <tr>
    <xsl:for-each select="$lay">
      <xsl:call-template name="cals-cell">
        <xsl:with-param name="row" select="$row"/>
        <xsl:with-param name="x" select="($row/entry | $row/entrytbl)[number(current()/@i)]"/>
        <xsl:with-param name="cs" select="$cs"/>
        <xsl:with-param name="cols" select="$cols"/>
        <xsl:with-param name="left" select="$total - number($row/@cals-n) + 1"/>
        <xsl:with-param name="at-end" select="$at-end"/>
      </xsl:call-template>
    </xsl:for-each>
  </tr>
  <xsl:if test="$lay[self::cell][@m &gt; 0] or $pending != ''">
    <xsl:variable name="next" select="$row/following-sibling::row[1] | $row[not(following-sibling::row)]/parent::tbody/following-sibling::*[self::tbody or self::tfoot][row][1]/row[1]"/>
    <xsl:variable name="older">
      <xsl:call-template name="cals-decrement">
        <xsl:with-param name="list" select="$pending"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="newer">
      <xsl:for-each select="$lay[self::cell][@m &gt; 0]">
        <xsl:call-template name="cals-span-items">
          <xsl:with-param name="c" select="number(@s)"/>
          <xsl:with-param name="to" select="number(@e)"/>
          <xsl:with-param name="m" select="number(@m)"/>
        </xsl:call-template>
      </xsl:for-each>
    </xsl:variable>
    <xsl:if test="$next and concat($older, $newer) != ''">
      <xsl:call-template name="cals-row">
        <xsl:with-param name="row" select="$next"/>
        <xsl:with-param name="pending" select="concat($older, $newer)"/>
        <xsl:with-param name="total" select="$total"/>
        <xsl:with-param name="cs" select="$cs"/>
        <xsl:with-param name="cols" select="$cols"/>
        <xsl:with-param name="at-end" select="$at-end"/>
      </xsl:call-template>
    </xsl:if>
  </xsl:if>
</xsl:template>

<!-- Pending spans: "col:rowsLeft;" items; rowsLeft counts the rows below this one. -->
<xsl:template name="cals-decrement">
  <xsl:param name="list"/>
  <xsl:if test="contains($list, ';')">
    <xsl:variable name="item" select="substring-before($list, ';')"/>
    <xsl:variable name="left" select="number(substring-after($item, ':')) - 1"/>
    <xsl:if test="$left &gt; 0">
      <xsl:value-of select="concat(substring-before($item, ':'), ':', $left, ';')"/>
    </xsl:if>
    <xsl:call-template name="cals-decrement">
      <xsl:with-param name="list" select="substring-after($list, ';')"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<xsl:template name="cals-span-items">
  <xsl:param name="c"/>
  <xsl:param name="to"/>
  <xsl:param name="m"/>
  <xsl:if test="$c &lt;= $to">
    <xsl:value-of select="concat($c, ':', $m, ';')"/>
    <xsl:call-template name="cals-span-items">
      <xsl:with-param name="c" select="$c + 1"/>
      <xsl:with-param name="to" select="$to"/>
      <xsl:with-param name="m" select="$m"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<xsl:template name="cals-free">
  <xsl:param name="c"/>
  <xsl:param name="pending"/>
  <xsl:choose>
    <xsl:when test="contains(concat(';', $pending), concat(';', $c, ':'))">
      <xsl:call-template name="cals-free">
        <xsl:with-param name="c" select="$c + 1"/>
        <xsl:with-param name="pending" select="$pending"/>
      </xsl:call-template>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="$c"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- The last column of c..to reachable from c without crossing a covered column. -->
<xsl:template name="cals-clip">
  <xsl:param name="c"/>
  <xsl:param name="to"/>
  <xsl:param name="pending"/>
  <xsl:choose>
    <xsl:when test="$c &lt; $to and not(contains(concat(';', $pending), concat(';', $c + 1, ':')))">
      <xsl:call-template name="cals-clip">
        <xsl:with-param name="c" select="$c + 1"/>
        <xsl:with-param name="to" select="$to"/>
        <xsl:with-param name="pending" select="$pending"/>
      </xsl:call-template>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="$c"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- Empty cells for the uncovered columns from..to-1. -->
<xsl:template name="cals-pad">
  <xsl:param name="from"/>
  <xsl:param name="to"/>
  <xsl:param name="pending"/>
  <xsl:if test="$from &lt; $to">
    <xsl:if test="not(contains(concat(';', $pending), concat(';', $from, ':')))">
      <pad s="{$from}" e="{$from}" m="0"/>
    </xsl:if>
    <xsl:call-template name="cals-pad">
      <xsl:with-param name="from" select="$from + 1"/>
      <xsl:with-param name="to" select="$to"/>
      <xsl:with-param name="pending" select="$pending"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<!-- Places the entries of one row: cell i="entry index" s="first col" e="last col"
     m="morerows", and pad elements for uncovered columns nobody fills. -->
<xsl:template name="cals-layout">
  <xsl:param name="entries"/>
  <xsl:param name="i" select="1"/>
  <xsl:param name="cursor"/>
  <xsl:param name="pending"/>
  <xsl:param name="cs"/>
  <xsl:param name="cols"/>
  <xsl:choose>
    <xsl:when test="$i &gt; count($entries)">
      <xsl:call-template name="cals-pad">
        <xsl:with-param name="from" select="$cursor"/>
        <xsl:with-param name="to" select="$cols + 1"/>
        <xsl:with-param name="pending" select="$pending"/>
      </xsl:call-template>
    </xsl:when>
    <xsl:otherwise>
      <xsl:variable name="x" select="$entries[$i]"/>
      <xsl:variable name="span" select="$x/ancestor::*[self::tgroup or self::entrytbl][1]/spanspec[@spanname = $x/@spanname][1]"/>
      <xsl:variable name="stname">
        <xsl:choose>
          <xsl:when test="$x/@namest"><xsl:value-of select="$x/@namest"/></xsl:when>
          <xsl:when test="$span"><xsl:value-of select="$span/@namest"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$x/@colname"/></xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="endname">
        <xsl:choose>
          <xsl:when test="$x/@nameend"><xsl:value-of select="$x/@nameend"/></xsl:when>
          <xsl:when test="$span"><xsl:value-of select="$span/@nameend"/></xsl:when>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="named" select="number($cs[@name = $stname][1]/@n)"/>
      <!-- A named column left of the cursor would overlap the cells already placed:
           the entry then takes the next free column instead. -->
      <xsl:variable name="want">
        <xsl:choose>
          <xsl:when test="$stname != '' and $named &gt;= $cursor"><xsl:value-of select="$named"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$cursor"/></xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="s">
        <xsl:call-template name="cals-free">
          <xsl:with-param name="c" select="number($want)"/>
          <xsl:with-param name="pending" select="$pending"/>
        </xsl:call-template>
      </xsl:variable>
      <xsl:variable name="endnum" select="number($cs[$endname != ''][@name = $endname][1]/@n)"/>
      <xsl:variable name="wide">
        <xsl:choose>
          <xsl:when test="not($endnum &gt; $s)"><xsl:value-of select="$s"/></xsl:when>
          <xsl:when test="$endnum &gt; $cols and $s &lt;= $cols"><xsl:value-of select="$cols"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$endnum"/></xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <!-- A span running into a column still covered from above stops short of it. -->
      <xsl:variable name="e">
        <xsl:call-template name="cals-clip">
          <xsl:with-param name="c" select="number($s)"/>
          <xsl:with-param name="to" select="number($wide)"/>
          <xsl:with-param name="pending" select="$pending"/>
        </xsl:call-template>
      </xsl:variable>
      <xsl:call-template name="cals-pad">
        <xsl:with-param name="from" select="$cursor"/>
        <xsl:with-param name="to" select="$s"/>
        <xsl:with-param name="pending" select="$pending"/>
      </xsl:call-template>
      <cell i="{$i}" s="{$s}" e="{$e}">
        <xsl:attribute name="m">
          <xsl:choose>
            <xsl:when test="floor(number($x/@morerows)) &gt; 0"><xsl:value-of select="floor(number($x/@morerows))"/></xsl:when>
            <xsl:otherwise>0</xsl:otherwise>
          </xsl:choose>
        </xsl:attribute>
      </cell>
      <xsl:call-template name="cals-layout">
        <xsl:with-param name="entries" select="$entries"/>
        <xsl:with-param name="i" select="$i + 1"/>
        <xsl:with-param name="cursor" select="$e + 1"/>
        <xsl:with-param name="pending" select="$pending"/>
        <xsl:with-param name="cs" select="$cs"/>
        <xsl:with-param name="cols" select="$cols"/>
      </xsl:call-template>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- The first of entry, row, spanspec, colspec, group, table that sets NAME wins;
     the default is 1. -->
<xsl:template name="cals-sep">
  <xsl:param name="name"/>
  <xsl:param name="x"/>
  <xsl:param name="row"/>
  <xsl:param name="span"/>
  <xsl:param name="spec"/>
  <xsl:variable name="outer" select="($row/ancestor::*[self::tgroup or self::entrytbl or self::table]/@*[local-name() = $name])[last()]"/>
  <xsl:choose>
    <xsl:when test="$x/@*[local-name() = $name]"><xsl:value-of select="$x/@*[local-name() = $name]"/></xsl:when>
    <xsl:when test="$name = 'rowsep' and $row/@rowsep"><xsl:value-of select="$row/@rowsep"/></xsl:when>
    <xsl:when test="$span/@*[local-name() = $name]"><xsl:value-of select="$span/@*[local-name() = $name]"/></xsl:when>
    <xsl:when test="$spec/@*[local-name() = $name] != ''"><xsl:value-of select="$spec/@*[local-name() = $name]"/></xsl:when>
    <xsl:when test="$outer"><xsl:value-of select="$outer"/></xsl:when>
    <xsl:otherwise>1</xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template name="cals-cell">
  <xsl:param name="row"/>
  <xsl:param name="x"/>
  <xsl:param name="cs"/>
  <xsl:param name="cols"/>
  <xsl:param name="left"/>
  <xsl:param name="at-end"/>
  <xsl:variable name="s" select="number(@s)"/>
  <xsl:variable name="e" select="number(@e)"/>
  <xsl:variable name="rows">
    <xsl:choose>
      <xsl:when test="@m + 1 &gt; $left"><xsl:value-of select="$left"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="@m + 1"/></xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:variable name="cell" select="self::cell"/>
  <xsl:variable name="span" select="$row/ancestor::*[self::tgroup or self::entrytbl][1]/spanspec[$cell][@spanname = $x/@spanname][1]"/>
  <xsl:variable name="sec" select="local-name($row/..)"/>
  <xsl:variable name="colsep">
    <xsl:call-template name="cals-sep">
      <xsl:with-param name="name" select="'colsep'"/>
      <xsl:with-param name="x" select="$x[$cell]"/>
      <xsl:with-param name="row" select="$row"/>
      <xsl:with-param name="span" select="$span"/>
      <xsl:with-param name="spec" select="$cs[@n = $e][1]"/>
    </xsl:call-template>
  </xsl:variable>
  <xsl:variable name="rowsep">
    <xsl:call-template name="cals-sep">
      <xsl:with-param name="name" select="'rowsep'"/>
      <xsl:with-param name="x" select="$x[$cell]"/>
      <xsl:with-param name="row" select="$row"/>
      <xsl:with-param name="span" select="$span"/>
      <xsl:with-param name="spec" select="$cs[@n = $s][1]"/>
    </xsl:call-template>
  </xsl:variable>
  <xsl:variable name="align">
    <xsl:choose>
      <xsl:when test="$cell and $x/@align"><xsl:value-of select="$x/@align"/></xsl:when>
      <xsl:when test="$span/@align"><xsl:value-of select="$span/@align"/></xsl:when>
      <xsl:when test="$cs[@n = $s][1]/@align != ''"><xsl:value-of select="$cs[@n = $s][1]/@align"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="$row/ancestor::*[self::tgroup or self::entrytbl][1]/@align"/></xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:variable name="valign">
    <xsl:choose>
      <xsl:when test="$cell and $x/@valign"><xsl:value-of select="$x/@valign"/></xsl:when>
      <xsl:when test="$row/@valign"><xsl:value-of select="$row/@valign"/></xsl:when>
      <xsl:when test="$row/../@valign"><xsl:value-of select="$row/../@valign"/></xsl:when>
      <xsl:when test="$sec = 'thead'">bottom</xsl:when>
      <xsl:otherwise>top</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:element name="{substring('tdth', 1 + 2 * number($sec != 'tbody'), 2)}">
    <xsl:if test="$e &gt; $s"><xsl:attribute name="colspan"><xsl:value-of select="$e - $s + 1"/></xsl:attribute></xsl:if>
    <xsl:if test="$rows &gt; 1"><xsl:attribute name="rowspan"><xsl:value-of select="$rows"/></xsl:attribute></xsl:if>
    <xsl:if test="$cell and $x/@id"><xsl:attribute name="id"><xsl:value-of select="$x/@id"/></xsl:attribute></xsl:if>
    <xsl:attribute name="style">
      <xsl:choose>
        <!-- Character alignment has no portable CSS: numbers line up well enough right-aligned. -->
        <xsl:when test="$align = 'char'">text-align:right;</xsl:when>
        <xsl:when test="$align = 'left' or $align = 'right' or $align = 'center' or $align = 'justify'">text-align:<xsl:value-of select="$align"/>;</xsl:when>
      </xsl:choose>
      <xsl:choose>
        <xsl:when test="$valign = 'middle'">vertical-align:middle;</xsl:when>
        <xsl:when test="$valign = 'bottom'">vertical-align:bottom;</xsl:when>
        <xsl:otherwise>vertical-align:top;</xsl:otherwise>
      </xsl:choose>
      <!-- The outer edges belong to the frame. -->
      <xsl:if test="$colsep != '0' and $e &lt; $cols">border-right:<xsl:value-of select="$cals-line"/>;</xsl:if>
      <xsl:if test="$rowsep != '0' and not($at-end and $rows = $left)">border-bottom:<xsl:value-of select="$cals-line"/>;</xsl:if>
    </xsl:attribute>
    <xsl:choose>
      <xsl:when test="$cell and local-name($x) = 'entrytbl'">
        <xsl:for-each select="$x">
          <table class="cals inner" style="border-collapse:collapse;width:100%">
            <xsl:call-template name="cals-group"/>
          </table>
        </xsl:for-each>
      </xsl:when>
      <xsl:when test="$cell">
        <xsl:apply-templates select="$x/node()"/>
      </xsl:when>
    </xsl:choose>
  </xsl:element>
</xsl:template>
<!-- END CALS-COMMON -->
</xsl:stylesheet>
