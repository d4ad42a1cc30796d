<?xml version="1.0" encoding="UTF-8"?>
<!--
  Patent full text as one readable HTML page: our own vocabulary (patent-grant,
  patent-application), the US families (us-patent-grant, us-patent-application,
  patent-application-publication), the upper-case PATDOC vocabulary (XML, or lifted from
  SGML) and, through patent-intl.xsl, the other offices' vocabularies.

  Imported by patent.xsl, patent-toc.xsl, patent-embed.xsl and patent-embed-toc.xsl,
  which only set the two parameters:
    tv-toc    1: a table of contents of the sections, headings, drawings and claims
    tv-embed  1: drawings at full width in place; 0: scaled to the page, each a link
              to its full-size file
  A third parameter, tv-seq-page, names the sequence listing's page (see seqref.xsl).
  Drawing files are referenced by their relative names, as they lie beside the
  document. Elements without a template here still show their text.

  Pages never carry markup from the document: nothing is copied but MathML through an
  element and attribute allow-list; the only addresses taken from the document are
  relative image file names and in-page anchors.

  Hooks for the vocabularies in patent-intl.xsl (stable: other files rely on them)
    $tv-lang                       the document's language, lower-case ("en", "de", ...)
    tv-label (key, lang?)          a label from the tables by key, in lang (default
                                   $tv-lang), else English, else the key humanised.
                                   Rows: labels.xsl ($lb-rows); patent-intl.xsl may add
                                   rows of its own in $tv-intl-label-rows (same form,
                                   <l k="key" en="..." de="..." fr="..." ja="..."/>),
                                   which win over labels.xsl for the languages they give.
    mode tv-title                  on the root element: the title's content (text and
                                   inline markup); the page's <h1> and <title> use it.
    mode tv-biblio-rows            on the root element: the header table's rows (<tr>).
    tv-field (key | label, value)  one header row: label by key (or given text), value a
                                   string or markup built by the stylesheet; nothing when
                                   the value is empty.
    tv-party-line (name, place)    one party on a line of its own, place in brackets.
    mode tv-party                  on applicant/inventor/agent/assignee-like elements with
                                   an addressbook (or name/address): tv-party-line.
    mode tv-bcode                  on SDOBI children and their groups (B100 ... B700):
                                   rows per B-code; codes shared with PATDOC are here,
                                   office-only codes go in patent-intl.xsl.
    mode tv-section                on each child of the root: one section of the page
                                   (bibliographic data gives none); tv-section (id, key,
                                   class) wraps the context's children in a section
                                   with a labelled <h2>.
    tv-claims (id, key, lang)      a claim set: section with its own anchor and labelled
                                   heading, the context's children inside.
    tv-figure (label)              a drawing (figure, EMI in SDODR, ...) with its anchor;
                                   its images through tv-image.
    tv-image (file, alt, drawing)  one image by relative file name: drawing=1 as a
                                   drawing (per tv-embed), else in-line.
    tv-date (d)                    20260101 as 2026-01-01.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:exsl="http://exslt.org/common" exclude-result-prefixes="exsl">
<xsl:include href="cals-common.xsl"/>
<xsl:include href="labels.xsl"/>
<xsl:include href="seqref.xsl"/>
<xsl:include href="patent-intl.xsl"/>
<xsl:output method="html" encoding="UTF-8" indent="no" doctype-system="about:legacy-compat"/>

<xsl:param name="tv-toc" select="0"/>
<xsl:param name="tv-embed" select="0"/>

<xsl:variable name="tv-lang">
  <xsl:variable name="l" select="translate(substring(normalize-space((/*/@lang | /*/@LANG)[1]), 1, 2),
                                           'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')"/>
  <xsl:choose>
    <xsl:when test="$l != ''"><xsl:value-of select="$l"/></xsl:when>
    <xsl:otherwise>en</xsl:otherwise>
  </xsl:choose>
</xsl:variable>

<xsl:variable name="tv-core-labels" select="exsl:node-set($lb-rows)/l"/>
<xsl:variable name="tv-intl-labels" select="exsl:node-set($tv-intl-label-rows)/l"/>

<xsl:template name="tv-label">
  <xsl:param name="key"/>
  <xsl:param name="lang" select="$tv-lang"/>
  <xsl:variable name="i" select="$tv-intl-labels[@k = $key]"/>
  <xsl:variable name="c" select="$tv-core-labels[@k = $key]"/>
  <xsl:choose>
    <xsl:when test="$i/@*[local-name() = $lang]"><xsl:value-of select="$i/@*[local-name() = $lang]"/></xsl:when>
    <xsl:when test="$c/@*[local-name() = $lang]"><xsl:value-of select="$c/@*[local-name() = $lang]"/></xsl:when>
    <xsl:when test="$i/@en"><xsl:value-of select="$i/@en"/></xsl:when>
    <xsl:when test="$c/@en"><xsl:value-of select="$c/@en"/></xsl:when>
    <xsl:otherwise>
      <xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="$key"/></xsl:call-template>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:variable name="tv-title-rtf"><xsl:apply-templates select="/*" mode="tv-title"/></xsl:variable>
<xsl:variable name="tv-title" select="normalize-space($tv-title-rtf)"/>
<xsl:variable name="tv-number">
  <xsl:apply-templates select="/*" mode="tv-number"/>
</xsl:variable>

<xsl:template match="/">
  <html lang="{$tv-lang}">
    <head>
      <meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
      <title>
        <xsl:value-of select="normalize-space(concat($tv-number, ' ', $tv-title))"/>
        <xsl:if test="normalize-space(concat($tv-number, $tv-title)) = ''">
          <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'patent-document'"/></xsl:call-template>
        </xsl:if>
      </title>
      <style>
body { font-family: Georgia, serif; font-size: 12pt; line-height: 1.45; max-width: 52em;
       margin: 1em auto; padding: 0 1em; color: #111; background: #fff; }
h1 { font-size: 1.5em; margin: 0.3em 0; }
h2 { font-size: 1.2em; border-bottom: 1px solid #888; margin-top: 1.6em; }
h3, h4, h5 { font-size: 1.05em; margin: 1.2em 0 0.4em; }
table.biblio { border-collapse: collapse; margin: 0.5em 0 1em; font-family: sans-serif; font-size: 0.9em; }
table.biblio th { text-align: left; vertical-align: top; padding: 0.15em 1em 0.15em 0; color: #444; font-weight: normal; white-space: nowrap; }
table.biblio td { padding: 0.15em 0; }
nav.toc { border: 1px solid #bbb; background: #f6f6f6; padding: 0.3em 1em; font-family: sans-serif; font-size: 0.9em; }
nav.toc ul { margin: 0.2em 0; padding-left: 1.3em; }
span.pnum { color: #666; font-family: sans-serif; font-size: 0.85em; margin-right: 0.5em; }
div.claim { margin: 0.8em 0; }
div.claim-text div.claim-text { margin-left: 2em; }
span.cnum { font-weight: bold; float: left; width: 2.2em; }
div.claim > div.claim-text { margin-left: 2.4em; }
div.figure { margin: 1em 0; page-break-inside: avoid; }
div.figure img, div.maths img, p img { max-width: 100%; height: auto; border: 1px solid #ddd; }
div.fig-title { font-family: sans-serif; font-weight: bold; font-size: 0.9em; }
table.cals { margin: 0.6em 0; font-size: 0.9em; }
table.cals th, table.cals td { padding: 0.15em 0.4em; }
table.cals caption { font-weight: bold; }
div.other { border-left: 3px solid #ddd; padding-left: 0.6em; }
@media print {
  body { max-width: none; margin: 0; font-size: 10.5pt; }
  nav.toc { display: none; }
  a { color: inherit; text-decoration: none; }
  thead { display: table-header-group; }
  h2, h3, h4 { page-break-after: avoid; }
}
      </style>
    </head>
    <body>
      <xsl:apply-templates select="*" mode="tv-root"/>
    </body>
  </html>
</xsl:template>

<!-- ===== Page ===== -->

<xsl:template match="*" mode="tv-root">
  <article class="patent">
    <header class="biblio">
      <h1>
        <xsl:choose>
          <xsl:when test="$tv-title != ''"><xsl:copy-of select="$tv-title-rtf"/></xsl:when>
          <xsl:when test="normalize-space($tv-number) != ''"><xsl:value-of select="$tv-number"/></xsl:when>
          <xsl:otherwise>
            <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'patent-document'"/></xsl:call-template>
          </xsl:otherwise>
        </xsl:choose>
      </h1>
      <table class="biblio"><xsl:apply-templates select="." mode="tv-biblio-rows"/></table>
    </header>
    <xsl:if test="$tv-toc = 1"><xsl:call-template name="tv-toc"/></xsl:if>
    <xsl:apply-templates select="*" mode="tv-section"/>
  </article>
</xsl:template>

<!-- The title: the bibliographic data's invention title, else B540's text. -->
<xsl:template match="*" mode="tv-title">
  <xsl:variable name="b" select="*[contains(local-name(), 'bibliographic-data')][1]"/>
  <xsl:choose>
    <xsl:when test="$b/invention-title">
      <xsl:apply-templates select="$b/invention-title[1]/node()"/>
    </xsl:when>
    <xsl:when test="SDOBI">
      <xsl:apply-templates select="(SDOBI/B500/B540/STEXT | SDOBI/B500/B540/B542)[1]/node()"/>
    </xsl:when>
  </xsl:choose>
</xsl:template>

<xsl:template match="*" mode="tv-number">
  <xsl:variable name="pub" select="*[contains(local-name(), 'bibliographic-data')][1]/publication-reference/document-id[1]"/>
  <xsl:choose>
    <xsl:when test="$pub">
      <xsl:value-of select="normalize-space(concat($pub/country, ' ', $pub/doc-number, ' ', $pub/kind))"/>
    </xsl:when>
    <xsl:when test="SDOBI">
      <xsl:value-of select="normalize-space(concat(SDOBI/B100/B190, ' ', SDOBI/B100/B110, ' ', SDOBI/B100/B130))"/>
    </xsl:when>
  </xsl:choose>
</xsl:template>

<xsl:template match="*" mode="tv-biblio-rows">
  <xsl:apply-templates select="*[contains(local-name(), 'bibliographic-data')][1] | SDOBI"/>
</xsl:template>

<!-- ===== Sections ===== -->

<xsl:template name="tv-section">
  <xsl:param name="id" select="local-name()"/>
  <xsl:param name="key" select="local-name()"/>
  <xsl:param name="class" select="$key"/>
  <section class="{$class}" id="{$id}">
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="$key"/></xsl:call-template></h2>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<xsl:template match="*[contains(local-name(), 'bibliographic-data')] | SDOBI" mode="tv-section"/>

<xsl:template match="abstract | SDOAB" mode="tv-section">
  <xsl:call-template name="tv-section"><xsl:with-param name="key" select="'abstract'"/><xsl:with-param name="id" select="'abstract'"/></xsl:call-template>
</xsl:template>

<xsl:template match="drawings | SDODR" mode="tv-section">
  <xsl:call-template name="tv-section"><xsl:with-param name="key" select="'drawings'"/><xsl:with-param name="id" select="'drawings'"/></xsl:call-template>
</xsl:template>

<xsl:template match="description | SDODE" mode="tv-section">
  <xsl:call-template name="tv-section"><xsl:with-param name="key" select="'description'"/><xsl:with-param name="id" select="'description'"/></xsl:call-template>
</xsl:template>

<xsl:template match="claims | SDOCL" mode="tv-section">
  <xsl:call-template name="tv-claims"/>
</xsl:template>

<xsl:template name="tv-claims">
  <xsl:param name="id" select="'claims'"/>
  <xsl:param name="key" select="'claims'"/>
  <xsl:param name="lang" select="$tv-lang"/>
  <section class="claims" id="{$id}" lang="{$lang}">
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="$key"/><xsl:with-param name="lang" select="$lang"/></xsl:call-template></h2>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<xsl:template match="*" mode="tv-section">
  <section class="other">
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="local-name()"/></xsl:call-template></h2>
    <div class="other"><xsl:apply-templates/></div>
  </section>
</xsl:template>

<xsl:template match="text()" mode="tv-section">
  <xsl:if test="normalize-space() != ''"><p><xsl:value-of select="."/></p></xsl:if>
</xsl:template>

<!-- ===== Bibliographic data ===== -->

<xsl:template match="*[contains(local-name(), 'bibliographic-data')]">
  <xsl:for-each select="publication-reference/document-id">
    <xsl:call-template name="tv-field">
      <xsl:with-param name="key" select="'publication-number'"/>
      <xsl:with-param name="value" select="normalize-space(concat(country, ' ', doc-number, ' ', kind))"/>
    </xsl:call-template>
    <xsl:call-template name="tv-date-field">
      <xsl:with-param name="key" select="'publication-date'"/>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="application-reference/document-id">
    <xsl:call-template name="tv-field">
      <xsl:with-param name="key" select="'application-number'"/>
      <xsl:with-param name="value" select="normalize-space(concat(country, ' ', doc-number))"/>
    </xsl:call-template>
    <xsl:call-template name="tv-date-field">
      <xsl:with-param name="key" select="'filing-date'"/>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'applicants'"/>
    <xsl:with-param name="value"><xsl:apply-templates select="parties/applicants/applicant" mode="tv-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'inventors'"/>
    <xsl:with-param name="value"><xsl:apply-templates select="parties/inventors/inventor" mode="tv-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'classifications'"/>
    <xsl:with-param name="value">
      <xsl:for-each select="classifications-ipcr/classification-ipcr">
        <div class="ipc"><xsl:value-of select="normalize-space(text)"/></div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'number-of-claims'"/>
    <xsl:with-param name="value" select="normalize-space(number-of-claims)"/>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'drawing-sheets'"/>
    <xsl:with-param name="value" select="normalize-space(figures/number-of-drawing-sheets)"/>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'number-of-figures'"/>
    <xsl:with-param name="value" select="normalize-space(figures/number-of-figures)"/>
  </xsl:call-template>
  <!-- Anything else the data holds, labelled from the tables. -->
  <xsl:for-each select="*[not(self::publication-reference or self::application-reference or
                           self::invention-title or self::parties or self::classifications-ipcr or
                           self::number-of-claims or self::figures)]">
    <xsl:call-template name="tv-field">
      <xsl:with-param name="key" select="local-name()"/>
      <xsl:with-param name="value" select="normalize-space(.)"/>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<xsl:template match="*" mode="tv-party">
  <xsl:variable name="a" select="addressbook[1] | self::*[not(addressbook)]"/>
  <xsl:call-template name="tv-party-line">
    <xsl:with-param name="name">
      <xsl:choose>
        <xsl:when test="$a/orgname"><xsl:value-of select="normalize-space($a/orgname)"/></xsl:when>
        <xsl:when test="$a/last-name | $a/first-name">
          <xsl:value-of select="normalize-space(concat($a/first-name, ' ', $a/last-name))"/>
        </xsl:when>
        <xsl:when test="$a/name"><xsl:value-of select="normalize-space($a/name)"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="normalize-space(.)"/></xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
    <xsl:with-param name="place">
      <xsl:call-template name="tv-join">
        <xsl:with-param name="a" select="normalize-space($a/address/city)"/>
        <xsl:with-param name="b" select="normalize-space($a/address/country)"/>
      </xsl:call-template>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template name="tv-party-line">
  <xsl:param name="name"/>
  <xsl:param name="place"/>
  <xsl:if test="normalize-space(concat($name, $place)) != ''">
    <div class="party">
      <xsl:value-of select="normalize-space($name)"/>
      <xsl:if test="normalize-space($place) != ''">
        <span class="where"><xsl:value-of select="concat(' (', normalize-space($place), ')')"/></span>
      </xsl:if>
    </div>
  </xsl:if>
</xsl:template>

<!-- "a, b" without a stray comma when either is empty. -->
<xsl:template name="tv-join">
  <xsl:param name="a"/>
  <xsl:param name="b"/>
  <xsl:param name="sep" select="', '"/>
  <xsl:value-of select="concat($a, substring($sep, 1, string-length($sep) * ($a != '' and $b != '')), $b)"/>
</xsl:template>

<xsl:template name="tv-field">
  <xsl:param name="key"/>
  <xsl:param name="label">
    <xsl:call-template name="tv-label"><xsl:with-param name="key" select="$key"/></xsl:call-template>
  </xsl:param>
  <xsl:param name="value"/>
  <xsl:if test="normalize-space($value) != ''">
    <tr><th><xsl:value-of select="$label"/></th><td><xsl:copy-of select="$value"/></td></tr>
  </xsl:if>
</xsl:template>

<xsl:template name="tv-date-field">
  <xsl:param name="key"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="$key"/>
    <xsl:with-param name="value">
      <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(date)"/></xsl:call-template>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- 20260101 reads as 2026-01-01; anything else is shown as given. -->
<xsl:template name="tv-date">
  <xsl:param name="d"/>
  <xsl:choose>
    <xsl:when test="string-length($d) = 8 and translate($d, '0123456789', '') = ''">
      <xsl:value-of select="concat(substring($d, 1, 4), '-', substring($d, 5, 2), '-', substring($d, 7, 2))"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="$d"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="SDOBI">
  <xsl:apply-templates select="*" mode="tv-bcode"/>
</xsl:template>

<!-- A group of B-codes: its codes. -->
<xsl:template match="B100 | B200 | B300 | B400 | B500 | B600 | B700 | B800" mode="tv-bcode">
  <xsl:apply-templates select="*" mode="tv-bcode"/>
</xsl:template>

<xsl:template match="B110" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'publication-number'"/>
    <xsl:with-param name="value" select="$tv-number"/>
  </xsl:call-template>
</xsl:template>

<xsl:template match="B130 | B190 | B540" mode="tv-bcode"/>

<xsl:template match="B140 | B220" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="concat('b', substring(local-name(), 2))"/>
    <xsl:with-param name="value">
      <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Any other code: its words, labelled by code from the tables. -->
<xsl:template match="*" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="concat('b', substring(local-name(), 2))"/>
    <!-- Words from separate elements (first and last names) stay apart. -->
    <xsl:with-param name="value">
      <xsl:variable name="words"><xsl:for-each select=".//text()"><xsl:value-of select="concat(., ' ')"/></xsl:for-each></xsl:variable>
      <xsl:value-of select="normalize-space($words)"/>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- ===== Table of contents ===== -->

<xsl:template name="tv-toc">
  <xsl:variable name="figs" select="//drawings/figure | //SDODR/EMI | //SDODR/*/EMI"/>
  <xsl:variable name="heads" select="//description//heading | //SDODE//H"/>
  <xsl:variable name="claims" select="//claims/claim | //SDOCL//CLM"/>
  <nav class="toc">
    <h2>Contents</h2>
    <ul>
      <xsl:if test="/*/abstract | /*/SDOAB"><li><a href="#abstract">Abstract</a></li></xsl:if>
      <xsl:if test="$figs">
        <li>
          <a href="#drawings">Drawings</a>
          <ul>
            <xsl:for-each select="$figs">
              <li><a><xsl:attribute name="href">#<xsl:call-template name="tv-anchor"/></xsl:attribute><xsl:call-template name="tv-fig-label"/></a></li>
            </xsl:for-each>
          </ul>
        </li>
      </xsl:if>
      <xsl:if test="/*/description | /*/SDODE">
        <li>
          <a href="#description">Description</a>
          <xsl:if test="$heads">
            <ul>
              <xsl:for-each select="$heads">
                <li><a><xsl:attribute name="href">#<xsl:call-template name="tv-anchor"/></xsl:attribute><xsl:value-of select="normalize-space(.)"/></a></li>
              </xsl:for-each>
            </ul>
          </xsl:if>
        </li>
      </xsl:if>
      <xsl:if test="$claims">
        <li>
          <a href="#claims">Claims</a>
          <ul class="claim-list">
            <xsl:for-each select="$claims">
              <li><a><xsl:attribute name="href">#<xsl:call-template name="tv-anchor"/></xsl:attribute>Claim <xsl:call-template name="tv-claim-num"/></a></li>
            </xsl:for-each>
          </ul>
        </li>
      </xsl:if>
    </ul>
  </nav>
</xsl:template>

<!-- An element's anchor: its own id (the target of references), else a generated one. -->
<xsl:template name="tv-anchor">
  <xsl:choose>
    <xsl:when test="@id | @ID"><xsl:value-of select="(@id | @ID)[1]"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="generate-id()"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template name="tv-ids">
  <xsl:attribute name="id"><xsl:call-template name="tv-anchor"/></xsl:attribute>
</xsl:template>

<!-- ===== Drawings and images ===== -->

<xsl:template name="tv-fig-label">
  <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'figure'"/></xsl:call-template>
  <xsl:text> </xsl:text>
  <xsl:choose>
    <xsl:when test="@num and string(number(@num)) != 'NaN'"><xsl:value-of select="number(@num)"/></xsl:when>
    <xsl:when test="@num"><xsl:value-of select="@num"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="count(preceding-sibling::*[local-name() = local-name(current())]) + 1"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template name="tv-figure">
  <xsl:param name="label"><xsl:call-template name="tv-fig-label"/></xsl:param>
  <div class="figure">
    <xsl:call-template name="tv-ids"/>
    <div class="fig-title"><xsl:value-of select="$label"/></div>
    <xsl:choose>
      <xsl:when test="self::EMI"><xsl:call-template name="tv-image"><xsl:with-param name="drawing" select="1"/></xsl:call-template></xsl:when>
      <xsl:otherwise><xsl:apply-templates mode="tv-drawing"/></xsl:otherwise>
    </xsl:choose>
  </div>
</xsl:template>

<xsl:template match="figure">
  <xsl:call-template name="tv-figure"/>
</xsl:template>

<xsl:template match="SDODR/EMI | SDODR/*/EMI">
  <xsl:call-template name="tv-figure"/>
</xsl:template>

<!-- Inside a figure: images as drawings, anything else as usual. -->
<xsl:template match="img | EMI" mode="tv-drawing">
  <xsl:call-template name="tv-image"><xsl:with-param name="drawing" select="1"/></xsl:call-template>
</xsl:template>
<xsl:template match="node()" mode="tv-drawing">
  <xsl:apply-templates select="."/>
</xsl:template>

<xsl:template match="img | EMI">
  <xsl:call-template name="tv-image"/>
</xsl:template>

<!-- An image by its relative file name. Drawings: plain pages scale them to the page and
     link the full-size file, -embed pages show them at full width; in-line images keep
     their size. Addresses that are not relative file names are dropped. -->
<xsl:template name="tv-image">
  <xsl:param name="file">
    <xsl:choose>
      <xsl:when test="@file"><xsl:value-of select="@file"/></xsl:when>
      <xsl:when test="contains(@FILE, '.') or unparsed-entity-uri(@FILE) = ''"><xsl:value-of select="@FILE"/></xsl:when>
      <!-- An entity name: its file, by name only, since drawings lie beside the document. -->
      <xsl:otherwise>
        <xsl:call-template name="tv-basename">
          <xsl:with-param name="s" select="unparsed-entity-uri(@FILE)"/>
        </xsl:call-template>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:param>
  <xsl:param name="alt" select="normalize-space(concat(@img-content, ' ', @id))"/>
  <xsl:param name="drawing" select="0"/>
  <xsl:variable name="ok">
    <xsl:call-template name="tv-local-file"><xsl:with-param name="s" select="normalize-space($file)"/></xsl:call-template>
  </xsl:variable>
  <xsl:choose>
    <xsl:when test="$ok != '1'"/>
    <xsl:when test="$drawing = 1 and $tv-embed = 1">
      <img class="drawing-full" src="{normalize-space($file)}" alt="{$alt}"/>
    </xsl:when>
    <xsl:when test="$drawing = 1">
      <a class="image" href="{normalize-space($file)}"><img class="drawing" src="{normalize-space($file)}" alt="{$alt}"/></a>
    </xsl:when>
    <xsl:otherwise>
      <img class="inline" src="{normalize-space($file)}" alt="{$alt}"/>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- 1 when s is a relative file name: no scheme, no absolute path, no way up, no
     characters that a browser reads as more than a name. -->
<xsl:template name="tv-local-file">
  <xsl:param name="s"/>
  <xsl:if test="$s != '' and not(contains($s, ':')) and not(starts-with($s, '/')) and
                not(starts-with($s, '\')) and not(contains($s, '..')) and not(contains($s, '//')) and
                translate($s, '?#&quot;&lt;&gt; ', '') = $s">1</xsl:if>
</xsl:template>

<xsl:template name="tv-basename">
  <xsl:param name="s"/>
  <xsl:choose>
    <xsl:when test="contains($s, '/')">
      <xsl:call-template name="tv-basename"><xsl:with-param name="s" select="substring-after($s, '/')"/></xsl:call-template>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="$s"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- ===== Description ===== -->

<xsl:template match="heading | H">
  <xsl:variable name="level">
    <xsl:choose>
      <xsl:when test="number(@level) &gt;= 1 and number(@level) &lt;= 3"><xsl:value-of select="2 + number(@level)"/></xsl:when>
      <xsl:when test="number(@level) &gt; 3">5</xsl:when>
      <xsl:otherwise>3</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:element name="h{$level}">
    <xsl:call-template name="tv-ids"/>
    <xsl:apply-templates/>
  </xsl:element>
</xsl:template>

<xsl:template match="p | PARA">
  <p>
    <xsl:if test="@id | @ID"><xsl:attribute name="id"><xsl:value-of select="(@id | @ID)[1]"/></xsl:attribute></xsl:if>
    <!-- Abstract paragraphs are numbered 0000: no number to show. -->
    <xsl:if test="(@num | @N) and number((@num | @N)[1]) != 0">
      <span class="pnum">[<xsl:value-of select="(@num | @N)[1]"/>]</span>
    </xsl:if>
    <xsl:apply-templates/>
  </p>
</xsl:template>

<!-- Paragraph text: "SEQ ID NO: n" may link to the listing's page. -->
<xsl:template match="p//text() | PARA//text() | paragraph//text() | claim-text//text() | PTEXT//text()">
  <xsl:call-template name="tv-seq-text"><xsl:with-param name="text" select="."/></xsl:call-template>
</xsl:template>

<xsl:template match="description-of-drawings | DRWDESC | BRFSUM | DETDESC | BTEXT">
  <div class="{translate(local-name(), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')}">
    <xsl:apply-templates/>
  </div>
</xsl:template>

<!-- ===== Claims ===== -->

<xsl:template name="tv-claim-num">
  <xsl:choose>
    <xsl:when test="string(number(@num)) != 'NaN'"><xsl:value-of select="number(@num)"/></xsl:when>
    <xsl:when test="@num"><xsl:value-of select="@num"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="count(preceding::CLM | preceding::claim) + 1"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="claim | CLM">
  <xsl:variable name="num"><xsl:call-template name="tv-claim-num"/>.</xsl:variable>
  <div class="claim">
    <xsl:call-template name="tv-ids"/>
    <!-- Older texts carry the number in the claim's first words already. -->
    <xsl:if test="not(starts-with(normalize-space(.), $num))">
      <span class="cnum"><xsl:value-of select="$num"/></span>
    </xsl:if>
    <xsl:apply-templates/>
  </div>
</xsl:template>

<xsl:template match="claim-text">
  <div class="claim-text"><xsl:apply-templates/></div>
</xsl:template>

<xsl:template match="PTEXT | STEXT | PDAT">
  <xsl:apply-templates/>
</xsl:template>

<xsl:template match="CL">
  <div class="claim-group"><xsl:apply-templates/></div>
</xsl:template>

<!-- References inside the document become links to their targets. -->
<xsl:template match="claim-ref | figref | CLREF | FGREF">
  <xsl:variable name="to" select="(@idref | @ID)[1]"/>
  <xsl:choose>
    <xsl:when test="$to != ''"><a class="{local-name()}" href="#{$to}"><xsl:apply-templates/></a></xsl:when>
    <xsl:otherwise><xsl:apply-templates/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- ===== Tables and formulas ===== -->

<xsl:template match="tables">
  <div class="tables">
    <xsl:if test="@id"><xsl:attribute name="id"><xsl:value-of select="@id"/></xsl:attribute></xsl:if>
    <xsl:apply-templates/>
  </div>
</xsl:template>

<xsl:template match="table | TABLE">
  <xsl:apply-templates select="." mode="cals"/>
</xsl:template>

<xsl:template match="maths">
  <div class="maths">
    <xsl:if test="@id"><xsl:attribute name="id"><xsl:value-of select="@id"/></xsl:attribute></xsl:if>
    <xsl:apply-templates/>
  </div>
</xsl:template>

<!-- MathML: only presentation elements and their layout attributes, in the MathML
     namespace whatever the document used; anything else keeps its text at most. -->
<xsl:template match="*[local-name() = 'math']">
  <math xmlns="http://www.w3.org/1998/Math/MathML">
    <xsl:if test="@display = 'block' or @display = 'inline'"><xsl:attribute name="display"><xsl:value-of select="@display"/></xsl:attribute></xsl:if>
    <xsl:apply-templates mode="tv-mathml"/>
  </math>
</xsl:template>

<xsl:variable name="tv-mathml-elements" select="' mi mn mo ms mtext mspace mrow mfrac msqrt mroot mstyle merror mpadded mphantom mfenced menclose msub msup msubsup munder mover munderover mmultiscripts mprescripts none mtable mtr mlabeledtr mtd maligngroup malignmark semantics '"/>
<xsl:variable name="tv-mathml-attributes" select="' mathvariant mathsize mathcolor mathbackground fontstyle fontweight fontfamily fontsize color form fence separator lspace rspace stretchy symmetric maxsize minsize largeop movablelimits accent accentunder linethickness numalign denomalign bevelled scriptlevel displaystyle scriptsizemultiplier scriptminsize open close separators notation align rowalign columnalign groupalign rowspan columnspan rowspacing columnspacing rowlines columnlines frame framespacing equalrows equalcolumns side width height depth voffset subscriptshift superscriptshift alignmentscope columnwidth minlabelspacing '"/>

<xsl:template match="*" mode="tv-mathml">
  <xsl:choose>
    <xsl:when test="contains($tv-mathml-elements, concat(' ', local-name(), ' '))">
      <xsl:element name="{local-name()}" namespace="http://www.w3.org/1998/Math/MathML">
        <xsl:for-each select="@*[namespace-uri() = '' and contains($tv-mathml-attributes, concat(' ', local-name(), ' '))]">
          <xsl:attribute name="{local-name()}"><xsl:value-of select="."/></xsl:attribute>
        </xsl:for-each>
        <xsl:apply-templates mode="tv-mathml"/>
      </xsl:element>
    </xsl:when>
    <!-- semantics' annotations are for machines; foreign markup is dropped whole. -->
    <xsl:when test="starts-with(local-name(), 'annotation')"/>
    <xsl:when test="namespace-uri() != '' and namespace-uri() != 'http://www.w3.org/1998/Math/MathML'"/>
    <xsl:otherwise><xsl:apply-templates mode="tv-mathml"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="text()" mode="tv-mathml"><xsl:value-of select="."/></xsl:template>
<xsl:template match="comment() | processing-instruction()" mode="tv-mathml"/>

<!-- ===== Inline markup ===== -->

<xsl:template match="b | i | u | sup | sub | ul | ol | li | dl | dt | dd">
  <xsl:element name="{local-name()}"><xsl:apply-templates/></xsl:element>
</xsl:template>

<xsl:template match="B | I | U">
  <xsl:element name="{translate(local-name(), 'BIU', 'biu')}"><xsl:apply-templates/></xsl:element>
</xsl:template>

<xsl:template match="SB"><sub><xsl:apply-templates/></sub></xsl:template>
<xsl:template match="SP"><sup><xsl:apply-templates/></sup></xsl:template>
<xsl:template match="br | BR"><br/></xsl:template>
<xsl:template match="smallcaps"><span style="font-variant:small-caps"><xsl:apply-templates/></span></xsl:template>
<xsl:template match="o"><span style="text-decoration:overline"><xsl:apply-templates/></span></xsl:template>

<!-- Unknown elements keep their text. -->
<xsl:template match="*">
  <span class="{local-name()}"><xsl:apply-templates/></span>
</xsl:template>

<xsl:template name="tv-humanise">
  <xsl:param name="s"/>
  <xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="$s"/></xsl:call-template>
</xsl:template>

</xsl:stylesheet>
