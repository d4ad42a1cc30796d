<?xml version="1.0" encoding="UTF-8"?>
<!--
  Patent full text (grant or application, and the SGML grant vocabulary lifted to XML
  with its upper-case names) as one readable HTML page.

  Imported by patent.xsl, patent-toc.xsl, patent-embed.xsl and patent-embed-toc.xsl,
  which only set the two parameters:
    tv-toc    1: a table of contents of the sections, headings, drawings and claims
    tv-embed  1: drawings shown in the page (<img>), else links to the image files
  Drawing files are referenced by their relative names, as they lie beside the
  document. Elements without a template here still show their text.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:exsl="http://exslt.org/common" exclude-result-prefixes="exsl">
<xsl:include href="cals-common.xsl"/>
<xsl:include href="labels.xsl"/>
<xsl:output method="html" encoding="UTF-8" indent="no" doctype-system="about:legacy-compat"/>

<xsl:param name="tv-toc" select="0"/>
<xsl:param name="tv-embed" select="0"/>

<xsl:variable name="tv-biblio" select="/*/*[contains(local-name(), 'bibliographic-data')][1]"/>
<xsl:variable name="tv-title">
  <xsl:choose>
    <xsl:when test="$tv-biblio/invention-title">
      <xsl:value-of select="normalize-space($tv-biblio/invention-title[1])"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="normalize-space(/PATDOC/SDOBI//B540[1]/STEXT)"/></xsl:otherwise>
  </xsl:choose>
</xsl:variable>
<xsl:variable name="tv-number">
  <xsl:variable name="pub" select="$tv-biblio/publication-reference/document-id[1]"/>
  <xsl:choose>
    <xsl:when test="$pub">
      <xsl:value-of select="normalize-space(concat($pub/country, ' ', $pub/doc-number, ' ', $pub/kind))"/>
    </xsl:when>
    <xsl:otherwise>
      <xsl:value-of select="normalize-space(concat(/PATDOC/SDOBI/B100/B110/DNUM, ' ', /PATDOC/SDOBI/B100/B130))"/>
    </xsl:otherwise>
  </xsl:choose>
</xsl:variable>

<xsl:template match="/">
  <html>
    <head>
      <meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
      <title>
        <xsl:value-of select="normalize-space(concat($tv-number, ' ', $tv-title))"/>
        <xsl:if test="normalize-space(concat($tv-number, $tv-title)) = ''">Patent document</xsl:if>
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

<!-- ===== Roots ===== -->

<xsl:template match="*" mode="tv-root">
  <article class="patent">
    <xsl:apply-templates select="$tv-biblio"/>
    <xsl:if test="not($tv-biblio)">
      <h1><xsl:call-template name="tv-humanise"><xsl:with-param name="s" select="local-name()"/></xsl:call-template></h1>
    </xsl:if>
    <xsl:if test="$tv-toc = 1"><xsl:call-template name="tv-toc"/></xsl:if>
    <xsl:apply-templates select="*[not(contains(local-name(), 'bibliographic-data'))]" mode="tv-section"/>
  </article>
</xsl:template>

<xsl:template match="PATDOC" mode="tv-root">
  <article class="patent">
    <xsl:apply-templates select="SDOBI"/>
    <xsl:if test="$tv-toc = 1"><xsl:call-template name="tv-toc"/></xsl:if>
    <xsl:apply-templates select="*[not(self::SDOBI)]" mode="tv-section"/>
  </article>
</xsl:template>

<!-- ===== Sections ===== -->

<xsl:template match="abstract | SDOAB" mode="tv-section">
  <section class="abstract" id="abstract"><h2>Abstract</h2><xsl:apply-templates/></section>
</xsl:template>

<xsl:template match="drawings | SDODR" mode="tv-section">
  <section class="drawings" id="drawings"><h2>Drawings</h2><xsl:apply-templates/></section>
</xsl:template>

<xsl:template match="description | SDODE" mode="tv-section">
  <section class="description" id="description"><h2>Description</h2><xsl:apply-templates/></section>
</xsl:template>

<xsl:template match="claims | SDOCL" mode="tv-section">
  <section class="claims" id="claims"><h2>Claims</h2><xsl:apply-templates/></section>
</xsl:template>

<xsl:template match="*" mode="tv-section">
  <section class="other">
    <h2><xsl:call-template name="tv-humanise"><xsl:with-param name="s" select="local-name()"/></xsl:call-template></h2>
    <div class="other"><xsl:apply-templates/></div>
  </section>
</xsl:template>

<xsl:template match="text()" mode="tv-section">
  <xsl:if test="normalize-space() != ''"><p><xsl:value-of select="."/></p></xsl:if>
</xsl:template>

<!-- ===== Bibliographic data ===== -->

<xsl:template match="*[contains(local-name(), 'bibliographic-data')]">
  <header class="biblio">
    <h1><xsl:apply-templates select="invention-title[1]/node()"/></h1>
    <table class="biblio">
      <xsl:for-each select="publication-reference/document-id">
        <xsl:call-template name="tv-field">
          <xsl:with-param name="label" select="'Publication number'"/>
          <xsl:with-param name="value" select="normalize-space(concat(country, ' ', doc-number, ' ', kind))"/>
        </xsl:call-template>
        <xsl:call-template name="tv-date-field">
          <xsl:with-param name="label" select="'Publication date'"/>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:for-each select="application-reference/document-id">
        <xsl:call-template name="tv-field">
          <xsl:with-param name="label" select="'Application number'"/>
          <xsl:with-param name="value" select="normalize-space(concat(country, ' ', doc-number))"/>
        </xsl:call-template>
        <xsl:call-template name="tv-date-field">
          <xsl:with-param name="label" select="'Filing date'"/>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:if test="parties/applicants/applicant">
        <tr><th>Applicants</th><td><xsl:apply-templates select="parties/applicants/applicant" mode="tv-party"/></td></tr>
      </xsl:if>
      <xsl:if test="parties/inventors/inventor">
        <tr><th>Inventors</th><td><xsl:apply-templates select="parties/inventors/inventor" mode="tv-party"/></td></tr>
      </xsl:if>
      <xsl:if test="classifications-ipcr/classification-ipcr">
        <tr>
          <th>Classifications</th>
          <td>
            <xsl:for-each select="classifications-ipcr/classification-ipcr">
              <div class="ipc"><xsl:value-of select="normalize-space(text)"/></div>
            </xsl:for-each>
          </td>
        </tr>
      </xsl:if>
      <xsl:call-template name="tv-field">
        <xsl:with-param name="label" select="'Number of claims'"/>
        <xsl:with-param name="value" select="normalize-space(number-of-claims)"/>
      </xsl:call-template>
      <xsl:call-template name="tv-field">
        <xsl:with-param name="label" select="'Drawing sheets'"/>
        <xsl:with-param name="value" select="normalize-space(figures/number-of-drawing-sheets)"/>
      </xsl:call-template>
      <xsl:call-template name="tv-field">
        <xsl:with-param name="label" select="'Figures'"/>
        <xsl:with-param name="value" select="normalize-space(figures/number-of-figures)"/>
      </xsl:call-template>
      <!-- Anything else the data holds, by its element name. -->
      <xsl:for-each select="*[not(self::publication-reference or self::application-reference or
                               self::invention-title or self::parties or self::classifications-ipcr or
                               self::number-of-claims or self::figures)]">
        <xsl:call-template name="tv-field">
          <xsl:with-param name="label">
            <xsl:call-template name="tv-humanise"><xsl:with-param name="s" select="local-name()"/></xsl:call-template>
          </xsl:with-param>
          <xsl:with-param name="value" select="normalize-space(.)"/>
        </xsl:call-template>
      </xsl:for-each>
    </table>
  </header>
</xsl:template>

<xsl:template match="*" mode="tv-party">
  <xsl:variable name="a" select="addressbook[1]"/>
  <div class="party">
    <xsl:choose>
      <xsl:when test="$a/orgname"><xsl:value-of select="normalize-space($a/orgname)"/></xsl:when>
      <xsl:when test="$a">
        <xsl:value-of select="normalize-space(concat($a/first-name, ' ', $a/last-name))"/>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="normalize-space(.)"/></xsl:otherwise>
    </xsl:choose>
    <xsl:variable name="city" select="normalize-space($a/address/city)"/>
    <xsl:variable name="country" select="normalize-space($a/address/country)"/>
    <xsl:if test="concat($city, $country) != ''">
      <span class="where">
        <xsl:value-of select="concat(' (', $city, substring(', ', 1, 2 * ($city != '' and $country != '')), $country, ')')"/>
      </span>
    </xsl:if>
  </div>
</xsl:template>

<xsl:template name="tv-field">
  <xsl:param name="label"/>
  <xsl:param name="value"/>
  <xsl:if test="$value != ''">
    <tr><th><xsl:value-of select="$label"/></th><td><xsl:value-of select="$value"/></td></tr>
  </xsl:if>
</xsl:template>

<xsl:template name="tv-date-field">
  <xsl:param name="label"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="label" select="$label"/>
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
  <header class="biblio">
    <h1><xsl:value-of select="$tv-title"/></h1>
    <table class="biblio">
      <xsl:call-template name="tv-field">
        <xsl:with-param name="label" select="'Patent number'"/>
        <xsl:with-param name="value" select="$tv-number"/>
      </xsl:call-template>
      <xsl:call-template name="tv-field">
        <xsl:with-param name="label" select="'Date'"/>
        <xsl:with-param name="value">
          <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(B100/B140)"/></xsl:call-template>
        </xsl:with-param>
      </xsl:call-template>
      <xsl:call-template name="tv-field">
        <xsl:with-param name="label" select="'Application number'"/>
        <xsl:with-param name="value" select="normalize-space(B200/B210)"/>
      </xsl:call-template>
      <xsl:call-template name="tv-field">
        <xsl:with-param name="label" select="'Filing date'"/>
        <xsl:with-param name="value">
          <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(B200/B220)"/></xsl:call-template>
        </xsl:with-param>
      </xsl:call-template>
      <!-- The remaining groups (classes, references, parties) as their text. -->
      <xsl:for-each select="B500/*[not(self::B540)] | B700/* |
                            *[not(self::B100 or self::B200 or self::B500 or self::B700)]">
        <xsl:call-template name="tv-field">
          <xsl:with-param name="label">
            <xsl:choose>
              <xsl:when test="self::B510">International classification</xsl:when>
              <xsl:when test="self::B520">National classification</xsl:when>
              <xsl:when test="self::B560">References cited</xsl:when>
              <xsl:when test="self::B570">Claims</xsl:when>
              <xsl:when test="self::B580">Field of search</xsl:when>
              <xsl:when test="self::B590">Drawings</xsl:when>
              <xsl:when test="self::B720">Inventors</xsl:when>
              <xsl:when test="self::B730">Assignee</xsl:when>
              <xsl:when test="self::B740">Agent</xsl:when>
              <xsl:otherwise><xsl:value-of select="local-name()"/></xsl:otherwise>
            </xsl:choose>
          </xsl:with-param>
          <!-- Words from separate elements (first and last names) stay apart. -->
          <xsl:with-param name="value">
            <xsl:variable name="words"><xsl:for-each select=".//text()"><xsl:value-of select="concat(., ' ')"/></xsl:for-each></xsl:variable>
            <xsl:value-of select="normalize-space($words)"/>
          </xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
    </table>
  </header>
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
  <xsl:choose>
    <xsl:when test="@num and string(number(@num)) != 'NaN'">Figure <xsl:value-of select="number(@num)"/></xsl:when>
    <xsl:when test="@num">Figure <xsl:value-of select="@num"/></xsl:when>
    <xsl:otherwise>Figure <xsl:value-of select="count(preceding::figure | preceding::EMI[ancestor::SDODR]) + 1"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="figure">
  <div class="figure">
    <xsl:call-template name="tv-ids"/>
    <div class="fig-title"><xsl:call-template name="tv-fig-label"/></div>
    <xsl:apply-templates/>
  </div>
</xsl:template>

<xsl:template match="SDODR/EMI | SDODR/*/EMI">
  <div class="figure">
    <xsl:call-template name="tv-ids"/>
    <div class="fig-title"><xsl:call-template name="tv-fig-label"/></div>
    <xsl:call-template name="tv-image"/>
  </div>
</xsl:template>

<xsl:template match="img | EMI">
  <xsl:call-template name="tv-image"/>
</xsl:template>

<!-- The drawing itself in the -embed pages, else a link to its file. -->
<xsl:template name="tv-image">
  <xsl:variable name="file">
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
  </xsl:variable>
  <xsl:variable name="alt" select="normalize-space(concat(@img-content, ' ', @id))"/>
  <xsl:choose>
    <xsl:when test="$file = ''"/>
    <xsl:when test="$tv-embed = 1">
      <img src="{$file}" alt="{$alt}"/>
    </xsl:when>
    <xsl:otherwise>
      <a class="image" href="{$file}"><xsl:value-of select="$file"/></a>
    </xsl:otherwise>
  </xsl:choose>
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

<!-- MathML goes through as it is; browsers lay it out. -->
<xsl:template match="*[local-name() = 'math']">
  <xsl:copy-of select="."/>
</xsl:template>

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
