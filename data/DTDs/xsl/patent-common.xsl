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
    tv-party-line (name, place, role?)  one party on a line of its own, place in
                                   brackets, an optional role before the name.
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
img.drawing { max-width: 100%; max-height: 95vh; width: auto; height: auto; border: 1px solid #ddd; }
img.drawing-full { width: 100%; height: auto; border: 1px solid #ddd; }
img.inline { max-width: 100%; height: auto; vertical-align: middle; }
div.maths { margin: 0.6em 0; }
span.eqnum { float: right; font-family: sans-serif; color: #444; }
details.maths-image summary { font-family: sans-serif; font-size: 0.8em; color: #666; cursor: pointer; }
span.chemistry { display: inline-block; margin: 0.3em 0; }
span.smallcaps { font-variant: small-caps; }
span.overline { text-decoration: overline; }
span.note { color: #555; font-size: 0.92em; }
ol.citations { margin: 0; padding-left: 2.2em; }
table.biblio td div.party span.where { color: #444; }
p.indent { margin-left: 2em; }
div.para { margin: 1em 0; }
ul.plain { list-style: none; }
p.claim-statement { font-style: italic; }
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

<!-- The title: the bibliographic data's invention title, else B540's text in the
     document's language. -->
<xsl:template match="*" mode="tv-title">
  <xsl:variable name="b" select="*[contains(local-name(), 'bibliographic-data')][1]"/>
  <xsl:variable name="t" select="SDOBI/B500/B540"/>
  <xsl:choose>
    <xsl:when test="$b/invention-title">
      <xsl:apply-templates select="$b/invention-title[1]/node()"/>
    </xsl:when>
    <xsl:when test="subdoc-bibliographic-information">
      <xsl:apply-templates select="subdoc-bibliographic-information/technical-information/title-of-invention[1]/node()"/>
    </xsl:when>
    <xsl:when test="$t/B542[preceding-sibling::B541[1] = $tv-lang]">
      <xsl:apply-templates select="$t/B542[preceding-sibling::B541[1] = $tv-lang][1]/node()"/>
    </xsl:when>
    <xsl:when test="$t">
      <xsl:apply-templates select="($t/STEXT | $t/B542)[1]/node()"/>
    </xsl:when>
  </xsl:choose>
</xsl:template>

<xsl:template match="*" mode="tv-number">
  <xsl:variable name="pub" select="(*[contains(local-name(), 'bibliographic-data')][1]/publication-reference/document-id |
                                    subdoc-bibliographic-information/document-id)[1]"/>
  <xsl:choose>
    <xsl:when test="$pub">
      <xsl:value-of select="normalize-space(concat(($pub/country | /*/@country)[1], ' ', $pub/doc-number, ' ', ($pub/kind | $pub/kind-code)[1]))"/>
    </xsl:when>
    <xsl:when test="SDOBI">
      <xsl:value-of select="normalize-space(concat(SDOBI/B100/B190, ' ', SDOBI/B100/B110, ' ', SDOBI/B100/B130))"/>
    </xsl:when>
  </xsl:choose>
</xsl:template>

<xsl:template match="*" mode="tv-biblio-rows">
  <xsl:apply-templates select="*[contains(local-name(), 'bibliographic-data')][1] | SDOBI | subdoc-bibliographic-information"/>
</xsl:template>

<!-- ===== Sections ===== -->

<xsl:variable name="tv-doc" select="/"/>
<!-- Formula images kept apart from their formulas (us-math, after the claims), by the
     formula's id. -->
<xsl:variable name="tv-math-images" select="/*/us-math"/>
<xsl:key name="tv-id" match="*[@id]" use="@id"/>
<xsl:key name="tv-math-image" match="us-math" use="normalize-space(substring-before(concat(normalize-space(@idrefs), ' '), ' '))"/>
<xsl:key name="tv-id" match="*[@ID]" use="@ID"/>

<!-- A section of the page: a fixed anchor that the contents link to, the document's own
     id kept as a second anchor for the references inside the text. -->
<xsl:template name="tv-section">
  <xsl:param name="id" select="local-name()"/>
  <xsl:param name="key" select="local-name()"/>
  <xsl:param name="class" select="$key"/>
  <section class="{$class}" id="{$id}">
    <xsl:call-template name="tv-own-anchor"><xsl:with-param name="not" select="$id"/></xsl:call-template>
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="$key"/></xsl:call-template></h2>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<xsl:template name="tv-own-anchor">
  <xsl:param name="not"/>
  <xsl:variable name="own" select="string((@id | @ID)[1])"/>
  <xsl:if test="$own != '' and $own != $not"><span class="anchor" id="{$own}"></span></xsl:if>
</xsl:template>

<xsl:template match="*[contains(local-name(), 'bibliographic-data')] | SDOBI | subdoc-bibliographic-information" mode="tv-section"/>

<xsl:template match="abstract | SDOAB | subdoc-abstract" mode="tv-section">
  <xsl:call-template name="tv-section"><xsl:with-param name="key" select="'abstract'"/><xsl:with-param name="id" select="'abstract'"/></xsl:call-template>
</xsl:template>

<xsl:template match="drawings | SDODR | subdoc-drawings" mode="tv-section">
  <xsl:call-template name="tv-section"><xsl:with-param name="key" select="'drawings'"/><xsl:with-param name="id" select="'drawings'"/></xsl:call-template>
</xsl:template>

<xsl:template match="description | SDODE | subdoc-description" mode="tv-section">
  <xsl:call-template name="tv-section"><xsl:with-param name="key" select="'description'"/><xsl:with-param name="id" select="'description'"/></xsl:call-template>
</xsl:template>

<xsl:template match="claims | SDOCL | subdoc-claims" mode="tv-section">
  <xsl:call-template name="tv-claims"/>
</xsl:template>

<!-- The claim statement ("What is claimed is:") opens the claims that follow it. -->
<xsl:template match="us-claim-statement" mode="tv-section">
  <xsl:if test="not(following-sibling::claims)"><p class="claim-statement"><xsl:apply-templates/></p></xsl:if>
</xsl:template>

<xsl:template name="tv-claims">
  <xsl:param name="id" select="'claims'"/>
  <xsl:param name="key" select="'claims'"/>
  <xsl:param name="lang" select="$tv-lang"/>
  <section class="claims" id="{$id}" lang="{$lang}">
    <xsl:call-template name="tv-own-anchor"><xsl:with-param name="not" select="$id"/></xsl:call-template>
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="$key"/><xsl:with-param name="lang" select="$lang"/></xsl:call-template></h2>
    <xsl:for-each select="preceding-sibling::*[1][self::us-claim-statement]">
      <p class="claim-statement"><xsl:apply-templates/></p>
    </xsl:for-each>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<!-- Chemistry and formula records after the claims point at what the text shows already;
     only formula images that belong to no formula of the text get a section. -->
<xsl:template match="us-chemistry | us-math" mode="tv-section">
  <xsl:if test="not(preceding-sibling::*[1][self::us-chemistry or self::us-math])">
    <xsl:variable name="loose" select="../us-math[img][not(key('tv-id', normalize-space(substring-before(concat(normalize-space(@idrefs), ' '), ' '))))] |
                                       ../us-chemistry[img][not(key('tv-id', @idref))]"/>
    <xsl:if test="$loose">
      <section class="formulas" id="formulas">
        <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'formulas'"/></xsl:call-template></h2>
        <xsl:for-each select="$loose/img">
          <div class="formula-image"><xsl:call-template name="tv-image"/></div>
        </xsl:for-each>
      </section>
    </xsl:if>
  </xsl:if>
</xsl:template>

<!-- A sequence listing filed with the document: a link to its page when the package has it. -->
<xsl:template match="us-sequence-list-doc" mode="tv-section">
  <section class="sequence-listing" id="sequence-listing">
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'sequence-listing'"/></xsl:call-template></h2>
    <xsl:for-each select="sequence-list">
      <p>
        <xsl:choose>
          <xsl:when test="$tv-seq-page != ''"><a class="seq-listing" href="{$tv-seq-page}"><xsl:value-of select="normalize-space(@file)"/></a></xsl:when>
          <xsl:otherwise><xsl:value-of select="normalize-space(@file)"/></xsl:otherwise>
        </xsl:choose>
        <xsl:apply-templates/>
      </p>
    </xsl:for-each>
  </section>
</xsl:template>

<xsl:template match="*" mode="tv-section">
  <section class="other">
    <xsl:call-template name="tv-own-anchor"/>
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="local-name()"/></xsl:call-template></h2>
    <div class="other"><xsl:apply-templates/></div>
  </section>
</xsl:template>

<xsl:template match="text()" mode="tv-section">
  <xsl:if test="normalize-space() != ''"><p><xsl:value-of select="."/></p></xsl:if>
</xsl:template>

<!-- ===== Bibliographic data ===== -->

<!-- Header rows of the XML vocabularies with lower-case names (ours, the US grant and
     application families, the 2001 publications): the office's order, then anything
     else the data holds, so that no text is lost. -->
<xsl:variable name="tv-bib-done" select="concat(
  ' publication-reference application-reference us-application-series-code invention-title',
  ' priority-claims pct-or-regional-filing-data pct-or-regional-publishing-data',
  ' us-related-documents related-documents parties us-parties assignees examiners',
  ' classification-ipc classifications-ipcr classifications-cpc classification-national',
  ' classification-locarno us-field-of-classification-search field-of-search',
  ' us-references-cited references-cited number-of-claims us-exemplary-claim figures',
  ' us-term-of-grant correspondence-address',
  ' document-id publication-filing-type domestic-filing-data foreign-priority-data',
  ' technical-information continuity-data inventors assignee ')"/>

<xsl:template match="*[contains(local-name(), 'bibliographic-data')] | subdoc-bibliographic-information">
  <xsl:apply-templates select="publication-reference | document-id" mode="tv-bib"/>
  <xsl:apply-templates select="application-reference | domestic-filing-data" mode="tv-bib"/>
  <xsl:apply-templates select="priority-claims | foreign-priority-data" mode="tv-bib"/>
  <xsl:apply-templates select="pct-or-regional-filing-data | pct-or-regional-publishing-data" mode="tv-bib"/>
  <xsl:apply-templates select="us-related-documents | related-documents | continuity-data" mode="tv-bib"/>
  <xsl:variable name="p" select="parties | us-parties"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'applicants'"/>
    <xsl:with-param name="value"><xsl:apply-templates select="$p/applicants/applicant | $p/us-applicants/us-applicant" mode="tv-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'inventors'"/>
    <xsl:with-param name="value">
      <xsl:apply-templates select="$p/inventors/inventor | $p/inventors/deceased-inventor |
                                   inventors/first-named-inventor | inventors/inventor" mode="tv-party"/>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'assignees'"/>
    <xsl:with-param name="value"><xsl:apply-templates select="assignees/assignee | assignee | $p/assignees/assignee" mode="tv-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'agents'"/>
    <xsl:with-param name="value"><xsl:apply-templates select="$p/agents/agent" mode="tv-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'correspondence-address'"/>
    <xsl:with-param name="value"><xsl:apply-templates select="$p/correspondence-address | correspondence-address" mode="tv-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'examiners'"/>
    <xsl:with-param name="value">
      <xsl:for-each select="examiners/*">
        <xsl:call-template name="tv-party-line">
          <xsl:with-param name="role"><xsl:call-template name="tv-label"><xsl:with-param name="key" select="local-name()"/></xsl:call-template></xsl:with-param>
          <xsl:with-param name="name"><xsl:call-template name="tv-party-name"/></xsl:with-param>
          <xsl:with-param name="place">
            <xsl:if test="normalize-space(department) != ''">
              <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'department'"/></xsl:call-template>
              <xsl:value-of select="concat(' ', normalize-space(department))"/>
            </xsl:if>
          </xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'ipc'"/>
    <xsl:with-param name="value">
      <xsl:apply-templates select="classification-ipc | classifications-ipcr/classification-ipcr |
                                   technical-information/classification-ipc" mode="tv-class"/>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'cpc'"/>
    <xsl:with-param name="value">
      <xsl:apply-templates select="classifications-cpc/main-cpc/classification-cpc |
                                   classifications-cpc/further-cpc/classification-cpc |
                                   classifications-cpc/further-cpc/combination-set" mode="tv-class"/>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'national-classification'"/>
    <xsl:with-param name="value">
      <xsl:apply-templates select="classification-national | technical-information/classification-us" mode="tv-class"/>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'locarno'"/>
    <xsl:with-param name="value"><xsl:apply-templates select="classification-locarno" mode="tv-class"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'field-of-search'"/>
    <xsl:with-param name="value">
      <xsl:apply-templates select="us-field-of-classification-search/* | field-of-search/*" mode="tv-class"/>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:apply-templates select="us-term-of-grant | publication-filing-type" mode="tv-bib"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'number-of-claims'"/>
    <xsl:with-param name="value" select="normalize-space(number-of-claims)"/>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'exemplary-claim'"/>
    <xsl:with-param name="value" select="normalize-space(us-exemplary-claim)"/>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'drawing-sheets'"/>
    <xsl:with-param name="value" select="normalize-space(figures/number-of-drawing-sheets)"/>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'number-of-figures'"/>
    <xsl:with-param name="value" select="normalize-space(figures/number-of-figures)"/>
  </xsl:call-template>
  <xsl:apply-templates select="*[not(contains($tv-bib-done, concat(' ', local-name(), ' ')))] |
                               technical-information/*[not(self::classification-ipc or self::classification-us or self::title-of-invention)]"
                       mode="tv-bib"/>
  <xsl:apply-templates select="us-references-cited | references-cited" mode="tv-bib"/>
</xsl:template>

<!-- Anything without a template of its own: its words, labelled from the tables. -->
<xsl:template match="*" mode="tv-bib">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="local-name()"/>
    <xsl:with-param name="value"><xsl:call-template name="tv-words"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- The context's text with words of separate elements kept apart. -->
<xsl:template name="tv-words">
  <xsl:param name="of" select="."/>
  <xsl:variable name="w"><xsl:for-each select="$of//text()"><xsl:value-of select="concat(., ' ')"/></xsl:for-each></xsl:variable>
  <xsl:value-of select="normalize-space($w)"/>
</xsl:template>

<xsl:template match="publication-reference | subdoc-bibliographic-information/document-id" mode="tv-bib">
  <xsl:variable name="d" select="(document-id | self::document-id)[1]"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'publication-number'"/>
    <xsl:with-param name="value" select="normalize-space(concat(($d/country | $d/country-code)[1], ' ', $d/doc-number, ' ', ($d/kind | $d/kind-code)[1]))"/>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'publication-date'"/>
    <xsl:with-param name="value">
      <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(($d/date | $d/document-date)[1])"/></xsl:call-template>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="application-reference | domestic-filing-data" mode="tv-bib">
  <xsl:variable name="d" select="(document-id | application-number)[1]"/>
  <xsl:variable name="series" select="normalize-space((../us-application-series-code | application-number-series-code)[1])"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'application-number'"/>
    <xsl:with-param name="value">
      <xsl:value-of select="normalize-space(concat($d/country, ' ', $d/doc-number))"/>
      <xsl:if test="$series != ''">
        <span class="note"> (<xsl:call-template name="tv-label"><xsl:with-param name="key" select="'series-code'"/></xsl:call-template>
        <xsl:value-of select="concat(' ', $series, ')')"/></span>
      </xsl:if>
      <xsl:if test="@appl-type"><span class="note"><xsl:value-of select="concat(', ', @appl-type)"/></span></xsl:if>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'filing-date'"/>
    <xsl:with-param name="value">
      <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(($d/date | filing-date)[1])"/></xsl:call-template>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- A document identifier on one line: country, number, kind, name, date. -->
<xsl:template match="*" mode="tv-docid">
  <xsl:variable name="date" select="normalize-space((date | document-date)[1])"/>
  <xsl:value-of select="normalize-space(concat((country | country-code)[1], ' ', doc-number, ' ', (kind | kind-code)[1]))"/>
  <xsl:if test="normalize-space(name) != ''"><xsl:value-of select="concat(', ', normalize-space(name))"/></xsl:if>
  <xsl:if test="$date != ''">
    <xsl:text>, </xsl:text>
    <xsl:call-template name="tv-date"><xsl:with-param name="d" select="$date"/></xsl:call-template>
  </xsl:if>
</xsl:template>

<xsl:template match="priority-claims | foreign-priority-data" mode="tv-bib">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'priority-claims'"/>
    <xsl:with-param name="value">
      <xsl:for-each select="priority-claim | self::foreign-priority-data | self::priority-claims[not(priority-claim)]">
        <div class="line">
          <xsl:value-of select="normalize-space(concat((country | country-code)[1], ' ', (doc-number | priority-application-number/doc-number)[1]))"/>
          <xsl:if test="date | filing-date">
            <xsl:text>, </xsl:text>
            <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space((date | filing-date)[1])"/></xsl:call-template>
          </xsl:if>
          <!-- Older texts give the priority as plain text. -->
          <xsl:if test="not(country | country-code | doc-number | priority-application-number)"><xsl:call-template name="tv-words"/></xsl:if>
        </div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="pct-or-regional-filing-data | pct-or-regional-publishing-data" mode="tv-bib">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="local-name()"/>
    <xsl:with-param name="value">
      <xsl:apply-templates select="document-id" mode="tv-docid"/>
      <xsl:for-each select="*[not(self::document-id)]">
        <span class="note">
          <xsl:text>; </xsl:text>
          <xsl:call-template name="tv-label"><xsl:with-param name="key" select="local-name()"/></xsl:call-template>
          <xsl:text>: </xsl:text>
          <xsl:call-template name="tv-date-or-words"/>
        </span>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template name="tv-date-or-words">
  <xsl:choose>
    <xsl:when test="date and count(*) = 1"><xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(date)"/></xsl:call-template></xsl:when>
    <xsl:otherwise><xsl:call-template name="tv-words"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- Related documents: one line per relation, "Continuation of US 12/345 (2011-06-30), granted as US 8138388". -->
<xsl:template match="us-related-documents | related-documents | continuity-data" mode="tv-bib">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'related-documents'"/>
    <xsl:with-param name="value">
      <xsl:for-each select="*/relation | */parent-child | continuations/*/parent-child | *[document-id] | *[not(.//relation or .//parent-child or document-id)]">
        <xsl:variable name="kind" select="local-name(ancestor-or-self::*[parent::us-related-documents or parent::related-documents or parent::continuations][1])"/>
        <div class="line">
          <xsl:call-template name="tv-label"><xsl:with-param name="key" select="$kind"/></xsl:call-template>
          <xsl:text>: </xsl:text>
          <xsl:choose>
            <xsl:when test="self::relation or self::parent-child">
              <xsl:apply-templates select="(parent-doc | parent)/document-id" mode="tv-docid"/>
              <xsl:for-each select="parent-doc/parent-grant-document/document-id | parent-doc/parent-pct-document/document-id">
                <xsl:text>; </xsl:text>
                <xsl:call-template name="tv-label"><xsl:with-param name="key" select="local-name(..)"/></xsl:call-template>
                <xsl:text> </xsl:text>
                <xsl:apply-templates select="." mode="tv-docid"/>
              </xsl:for-each>
              <xsl:for-each select="(parent-doc | .)/parent-status">
                <xsl:value-of select="concat(' (', normalize-space(), ')')"/>
              </xsl:for-each>
              <xsl:if test="(child-doc | child)/document-id">
                <span class="note">
                  <xsl:text>; </xsl:text>
                  <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'child-doc'"/></xsl:call-template>
                  <xsl:text> </xsl:text>
                  <xsl:apply-templates select="(child-doc | child)/document-id" mode="tv-docid"/>
                </span>
              </xsl:if>
            </xsl:when>
            <xsl:when test="document-id"><xsl:apply-templates select="document-id" mode="tv-docid"/></xsl:when>
            <xsl:otherwise><xsl:call-template name="tv-words"/></xsl:otherwise>
          </xsl:choose>
        </div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="us-term-of-grant" mode="tv-bib">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'term-of-grant'"/>
    <xsl:with-param name="value">
      <xsl:for-each select="*">
        <div class="line">
          <xsl:call-template name="tv-label"><xsl:with-param name="key" select="local-name()"/></xsl:call-template>
          <xsl:text>: </xsl:text>
          <xsl:call-template name="tv-words"/>
        </div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- ===== Classifications: full symbols, one a line ===== -->

<!-- IPCR and CPC from their parts: "H01L 51/50 (2006.01)" (the codes after the symbol are
     for machines); an IPCR with a text child (as other offices give it) by its text. -->
<xsl:template match="classification-ipcr | classification-cpc" mode="tv-class">
  <div class="class">
    <xsl:choose>
      <xsl:when test="section">
        <xsl:value-of select="normalize-space(concat(section, class, subclass, ' ', main-group, '/', subgroup))"/>
        <!-- The scheme's version as offices print it: (2006.01). -->
        <xsl:variable name="v" select="normalize-space((ipc-version-indicator | cpc-version-indicator)/date)"/>
        <xsl:if test="string-length($v) &gt;= 6">
          <span class="note"><xsl:value-of select="concat(' (', substring($v, 1, 4), '.', substring($v, 5, 2), ')')"/></span>
        </xsl:if>
      </xsl:when>
      <xsl:otherwise><xsl:call-template name="tv-words"/></xsl:otherwise>
    </xsl:choose>
  </div>
</xsl:template>

<xsl:template match="combination-set" mode="tv-class">
  <div class="class">
    <xsl:for-each select="combination-rank/classification-cpc">
      <xsl:if test="position() > 1"> / </xsl:if>
      <xsl:value-of select="normalize-space(concat(section, class, subclass, ' ', main-group, '/', subgroup))"/>
    </xsl:for-each>
  </div>
</xsl:template>

<!-- Older IPC: edition and symbols as given. -->
<xsl:template match="classification-ipc" mode="tv-class">
  <xsl:variable name="ed" select="normalize-space((edition | classification-ipc-edition)[1])"/>
  <xsl:for-each select="main-classification | further-classification | classification-ipc-primary/ipc | classification-ipc-secondary/ipc">
    <div class="class">
      <xsl:value-of select="normalize-space()"/>
      <xsl:if test="$ed != ''"><span class="note"><xsl:value-of select="concat(' (', $ed, ')')"/></span></xsl:if>
    </div>
  </xsl:for-each>
  <xsl:for-each select="*[not(self::edition or self::classification-ipc-edition or self::main-classification or self::further-classification or
                              self::classification-ipc-primary or self::classification-ipc-secondary)]">
    <div class="class"><xsl:call-template name="tv-words"/></div>
  </xsl:for-each>
</xsl:template>

<!-- National (US) classes: "428/690" from "428690"; main class first. -->
<xsl:template match="classification-national | classification-us" mode="tv-class">
  <xsl:variable name="country" select="normalize-space(country)"/>
  <xsl:for-each select="main-classification | further-classification | additional-info |
                        classification-us-primary/uspc | classification-us-secondary/uspc">
    <div class="class">
      <xsl:choose>
        <xsl:when test="self::uspc">
          <xsl:value-of select="normalize-space(concat(class, '/', subclass))"/>
        </xsl:when>
        <xsl:when test="self::main-classification or self::further-classification">
          <xsl:call-template name="tv-us-class"><xsl:with-param name="s" select="string(.)"/></xsl:call-template>
        </xsl:when>
        <xsl:otherwise><xsl:value-of select="normalize-space()"/></xsl:otherwise>
      </xsl:choose>
      <xsl:if test="$country != '' and $country != 'US'"><span class="note"><xsl:value-of select="concat(' (', $country, ')')"/></span></xsl:if>
    </div>
  </xsl:for-each>
</xsl:template>

<xsl:template name="tv-us-class">
  <xsl:param name="s"/>
  <xsl:variable name="c" select="normalize-space(substring($s, 1, 3))"/>
  <xsl:variable name="rest" select="normalize-space(substring($s, 4))"/>
  <xsl:choose>
    <xsl:when test="string-length(normalize-space($s)) &lt;= 3 or contains($s, '/') or
                    translate(normalize-space($s), '0123456789 ', '') = normalize-space($s)">
      <xsl:value-of select="normalize-space($s)"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="concat($c, '/', $rest)"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="*" mode="tv-class">
  <div class="class"><xsl:call-template name="tv-words"/></div>
</xsl:template>

<!-- ===== Cited documents: a list ===== -->

<xsl:template match="us-references-cited | references-cited" mode="tv-bib">
  <tr class="citations">
    <th><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'references-cited'"/></xsl:call-template></th>
    <td>
      <ol class="citations">
        <xsl:apply-templates select="*" mode="tv-citation"/>
      </ol>
    </td>
  </tr>
</xsl:template>

<xsl:template match="*" mode="tv-citation">
  <li>
    <xsl:for-each select="patcit | nplcit | othercit | self::patcit | self::nplcit">
      <xsl:choose>
        <xsl:when test="document-id"><xsl:apply-templates select="document-id" mode="tv-docid"/></xsl:when>
        <xsl:otherwise><xsl:apply-templates/></xsl:otherwise>
      </xsl:choose>
    </xsl:for-each>
    <xsl:for-each select="*[not(self::patcit or self::nplcit or self::othercit)]">
      <span class="note">
        <xsl:text> — </xsl:text>
        <xsl:choose>
          <xsl:when test="self::classification-national">
            <xsl:value-of select="concat(normalize-space(country), ' ')"/>
            <xsl:call-template name="tv-us-class"><xsl:with-param name="s" select="string(main-classification)"/></xsl:call-template>
          </xsl:when>
          <xsl:otherwise><xsl:value-of select="normalize-space()"/></xsl:otherwise>
        </xsl:choose>
      </span>
    </xsl:for-each>
  </li>
</xsl:template>

<!-- ===== Parties ===== -->

<!-- One party: its name and, in brackets, where it is. Covers addressbook (ST.36 and the
     US families), name/residence (2001 publications), NAM/ADR (PATDOC) and snm/adr. -->
<xsl:template match="*" mode="tv-party">
  <xsl:variable name="a" select="addressbook[1] | self::*[not(addressbook)]"/>
  <xsl:variable name="ad" select="($a/address | $a/ADR | $a/adr | PARTY-US/ADR | PARTY/ADR | residence/*)[1]"/>
  <xsl:call-template name="tv-party-line">
    <xsl:with-param name="name">
      <xsl:call-template name="tv-party-name"><xsl:with-param name="a" select="$a"/></xsl:call-template>
    </xsl:with-param>
    <xsl:with-param name="place">
      <xsl:call-template name="tv-place"><xsl:with-param name="a" select="$ad"/></xsl:call-template>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template name="tv-party-name">
  <xsl:param name="a" select="."/>
  <xsl:variable name="inner" select="$a/NAM | $a/PARTY-US/NAM | $a/PARTY/NAM | $a/name[*]"/>
  <xsl:variable name="n" select="$inner[1] | $a[not($inner)]"/>
  <xsl:variable name="w">
    <xsl:for-each select="$n/orgname | $n/organization-name | $n/ONM | $n/name-1 | $n/name-2 | $n/name[not(*)] | $n/self::*[not(*)]">
      <xsl:value-of select="concat(normalize-space(), ' ')"/>
    </xsl:for-each>
    <!-- Personal names in reading order, whatever order the data has. -->
    <xsl:value-of select="concat($n/first-name, ' ', $n/given-name, ' ', $n/FNM, ' ', $n/middle-name, ' ', $n/MNM, ' ',
                                 $n/last-name, ' ', $n/family-name, ' ', $n/SNM, ' ', $n/snm, ' ', $n/suffix, ' ', $n/SFX)"/>
  </xsl:variable>
  <xsl:value-of select="normalize-space($w)"/>
</xsl:template>

<!-- "street, city, state postcode, country"; placeholders for an unknown country left out. -->
<xsl:template name="tv-place">
  <xsl:param name="a"/>
  <xsl:variable name="w">
    <xsl:for-each select="$a/self::*[not(*)] | $a/text | $a/room | $a/address-floor | $a/building | $a/pobox |
                          $a/street | $a/address-1 | $a/address-2 | $a/address-3 | $a/address-4 | $a/address-5 | $a/STR | $a/str | $a/mailcode |
                          $a/city | $a/CITY | $a/county | $a/state | $a/STATE | $a/postcode | $a/postalcode | $a/PCODE |
                          $a/country | $a/country/country-code | $a/country-code | $a/CTRY | $a/ctry">
      <xsl:variable name="t" select="normalize-space()"/>
      <xsl:if test="$t != '' and $t != 'unknown' and $t != 'omitted' and not(country-code)">
        <xsl:value-of select="concat($t, '|')"/>
      </xsl:if>
    </xsl:for-each>
  </xsl:variable>
  <xsl:call-template name="tv-commas"><xsl:with-param name="s" select="$w"/></xsl:call-template>
</xsl:template>

<xsl:template name="tv-commas">
  <xsl:param name="s"/>
  <xsl:if test="$s != ''">
    <xsl:value-of select="substring-before($s, '|')"/>
    <xsl:if test="substring-after($s, '|') != ''">, </xsl:if>
    <xsl:call-template name="tv-commas"><xsl:with-param name="s" select="substring-after($s, '|')"/></xsl:call-template>
  </xsl:if>
</xsl:template>

<xsl:template name="tv-party-line">
  <xsl:param name="name"/>
  <xsl:param name="place"/>
  <xsl:param name="role"/>
  <xsl:if test="normalize-space(concat($name, $place)) != ''">
    <div class="party">
      <xsl:if test="normalize-space($role) != ''"><span class="role"><xsl:value-of select="concat(normalize-space($role), ': ')"/></span></xsl:if>
      <span class="name"><xsl:value-of select="normalize-space($name)"/></span>
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

<!-- 20260101 reads as 2026-01-01 (19981200, a month, as 1998-12-00); anything else as given. -->
<xsl:template name="tv-date">
  <xsl:param name="d"/>
  <xsl:choose>
    <xsl:when test="string-length($d) = 8 and translate($d, '0123456789', '') = ''">
      <xsl:value-of select="concat(substring($d, 1, 4), '-', substring($d, 5, 2), '-', substring($d, 7, 2))"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="$d"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- ===== B-codes (PATDOC, and the codes other offices share with it) ===== -->

<!-- Numbers and dates, parties, related documents, then classes and citations. -->
<xsl:template match="SDOBI">
  <xsl:apply-templates select="B000 | B100 | B200 | B300 | B400" mode="tv-bcode"/>
  <xsl:apply-templates select="B700 | B600" mode="tv-bcode"/>
  <xsl:apply-templates select="B500 | B800" mode="tv-bcode"/>
  <xsl:apply-templates select="*[not(self::B000 or self::B100 or self::B200 or self::B300 or self::B400 or
                                     self::B500 or self::B600 or self::B700 or self::B800)]" mode="tv-bcode"/>
</xsl:template>

<!-- A group of codes: its codes. -->
<xsl:template match="B100 | B200 | B400 | B500 | B600 | B700 | B800" mode="tv-bcode">
  <xsl:apply-templates select="*" mode="tv-bcode"/>
</xsl:template>

<xsl:template match="B110" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'publication-number'"/>
    <xsl:with-param name="value" select="$tv-number"/>
  </xsl:call-template>
</xsl:template>

<!-- Shown with the number, or as the page's heading. -->
<xsl:template match="B130 | B190" mode="tv-bcode"/>

<xsl:template match="B140 | B220 | B241 | B242 | B243" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="translate(local-name(), 'B', 'b')"/>
    <xsl:with-param name="value">
      <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space()"/></xsl:call-template>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="B210" mode="tv-bcode">
  <xsl:variable name="series" select="normalize-space(../B211US)"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'b210'"/>
    <xsl:with-param name="value">
      <xsl:value-of select="normalize-space()"/>
      <xsl:if test="$series != ''">
        <span class="note"> (<xsl:call-template name="tv-label"><xsl:with-param name="key" select="'series-code'"/></xsl:call-template>
        <xsl:value-of select="concat(' ', $series, ')')"/></span>
      </xsl:if>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>
<xsl:template match="B211US" mode="tv-bcode"/>

<!-- Priorities: number, date and country of each, one a line. -->
<xsl:template match="B300" mode="tv-bcode">
  <xsl:if test="not(preceding-sibling::B300)">
    <xsl:call-template name="tv-field">
      <xsl:with-param name="key" select="'priority-claims'"/>
      <xsl:with-param name="value">
        <xsl:for-each select="../B300/B310">
          <div class="line">
            <xsl:value-of select="normalize-space(concat(following-sibling::B330[1], ' ', .))"/>
            <xsl:if test="following-sibling::B320">
              <xsl:text>, </xsl:text>
              <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(following-sibling::B320[1])"/></xsl:call-template>
            </xsl:if>
          </div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<!-- Classes: main and further symbols, one a line, with the edition. -->
<xsl:template match="B510 | B520" mode="tv-bcode">
  <xsl:variable name="ed" select="normalize-space(B516)"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="translate(local-name(), 'B', 'b')"/>
    <xsl:with-param name="value">
      <xsl:for-each select="*[not(self::B516)]">
        <div class="class">
          <xsl:choose>
            <xsl:when test="self::B521 or self::B522"><xsl:call-template name="tv-us-class"><xsl:with-param name="s" select="string(.)"/></xsl:call-template></xsl:when>
            <xsl:otherwise><xsl:call-template name="tv-words"/></xsl:otherwise>
          </xsl:choose>
          <xsl:if test="$ed != ''"><span class="note"><xsl:value-of select="concat(' (', $ed, ')')"/></span></xsl:if>
        </div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- The title is the heading; titles in further languages are listed. -->
<xsl:template match="B540" mode="tv-bcode">
  <xsl:if test="count(B542 | STEXT) > 1">
    <xsl:call-template name="tv-field">
      <xsl:with-param name="key" select="'titles'"/>
      <xsl:with-param name="value">
        <xsl:for-each select="B542 | STEXT">
          <div class="line" lang="{normalize-space(preceding-sibling::B541[1])}"><xsl:apply-templates/></div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<!-- Cited documents as a list, with who cited them. -->
<xsl:template match="B560" mode="tv-bcode">
  <tr class="citations">
    <th><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'references-cited'"/></xsl:call-template></th>
    <td>
      <ol class="citations">
        <xsl:for-each select="*">
          <li>
            <xsl:for-each select="PCIT | NCIT | text | self::*[not(PCIT or NCIT or text)]">
              <xsl:choose>
                <xsl:when test="DOC">
                  <xsl:value-of select="normalize-space(concat(DOC/CTRY, ' ', DOC/DNUM, ' ', DOC/KIND))"/>
                  <xsl:variable name="who"><xsl:call-template name="tv-words"><xsl:with-param name="of" select="PARTY-US | PARTY | NAM"/></xsl:call-template></xsl:variable>
                  <xsl:if test="$who != ''"><xsl:value-of select="concat(', ', $who)"/></xsl:if>
                  <xsl:if test="DOC/DATE">
                    <xsl:text>, </xsl:text>
                    <xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(DOC/DATE)"/></xsl:call-template>
                  </xsl:if>
                  <xsl:for-each select="PNC"><xsl:text>, </xsl:text><xsl:call-template name="tv-us-class"><xsl:with-param name="s" select="string(.)"/></xsl:call-template></xsl:for-each>
                </xsl:when>
                <xsl:otherwise><xsl:apply-templates/></xsl:otherwise>
              </xsl:choose>
            </xsl:for-each>
            <xsl:for-each select="CITED-BY-EXAMINER | CITED-BY-OTHER">
              <span class="note">
                <xsl:text> — </xsl:text>
                <xsl:call-template name="tv-label"><xsl:with-param name="key" select="translate(local-name(), 'CITEDBYXAMNROH', 'citedbyxamnroh')"/></xsl:call-template>
              </span>
            </xsl:for-each>
          </li>
        </xsl:for-each>
      </ol>
    </td>
  </tr>
</xsl:template>

<xsl:template match="B570 | B590" mode="tv-bcode">
  <xsl:for-each select="*">
    <xsl:call-template name="tv-field">
      <xsl:with-param name="key" select="translate(local-name(), 'BUS', 'b')"/>
      <xsl:with-param name="value" select="normalize-space()"/>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<xsl:template match="B580" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'field-of-search'"/>
    <xsl:with-param name="value">
      <xsl:for-each select="*">
        <div class="class"><xsl:call-template name="tv-us-class"><xsl:with-param name="s" select="string(.)"/></xsl:call-template></div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Related documents: the kind of relation (B631 continuation, ...), then the parent. -->
<xsl:template match="B600" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="'related-documents'"/>
    <xsl:with-param name="value">
      <xsl:for-each select="*/*">
        <div class="line">
          <xsl:call-template name="tv-label"><xsl:with-param name="key" select="translate(local-name(), 'BUSEP', 'b')"/></xsl:call-template>
          <xsl:text>: </xsl:text>
          <xsl:choose>
            <xsl:when test=".//PDOC">
              <xsl:for-each select=".//PDOC/DOC">
                <xsl:value-of select="normalize-space(concat(CTRY, ' ', DNUM, ' ', KIND))"/>
                <xsl:if test="DATE"><xsl:text>, </xsl:text><xsl:call-template name="tv-date"><xsl:with-param name="d" select="normalize-space(DATE)"/></xsl:call-template></xsl:if>
              </xsl:for-each>
              <xsl:for-each select=".//PSTA"><xsl:value-of select="concat(' (', normalize-space(), ')')"/></xsl:for-each>
              <xsl:for-each select=".//CDOC/DOC">
                <span class="note">
                  <xsl:text>; </xsl:text>
                  <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'child-doc'"/></xsl:call-template>
                  <xsl:value-of select="concat(' ', normalize-space(DNUM))"/>
                </span>
              </xsl:for-each>
            </xsl:when>
            <xsl:otherwise><xsl:call-template name="tv-words"/></xsl:otherwise>
          </xsl:choose>
        </div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Parties: each on a line with its place. -->
<xsl:template match="B720 | B730 | B740 | B745 | B780" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="translate(local-name(), 'B', 'b')"/>
    <xsl:with-param name="value">
      <xsl:for-each select="*">
        <xsl:choose>
          <xsl:when test="(self::B746 or self::B747) and (PARTY-US | PARTY | NAM)">
            <xsl:call-template name="tv-party-line">
              <xsl:with-param name="role"><xsl:call-template name="tv-label"><xsl:with-param name="key" select="translate(local-name(), 'B', 'b')"/></xsl:call-template></xsl:with-param>
              <xsl:with-param name="name"><xsl:call-template name="tv-party-name"/></xsl:with-param>
            </xsl:call-template>
          </xsl:when>
          <xsl:when test="PARTY-US | PARTY | NAM | snm">
            <xsl:apply-templates select="." mode="tv-party"/>
          </xsl:when>
          <xsl:otherwise>
            <div class="line">
              <xsl:call-template name="tv-label"><xsl:with-param name="key" select="translate(local-name(), 'BUSEP', 'b')"/></xsl:call-template>
              <xsl:text>: </xsl:text>
              <xsl:call-template name="tv-words"/>
            </div>
          </xsl:otherwise>
        </xsl:choose>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Any other code: its words, labelled by code from the tables. -->
<xsl:template match="*" mode="tv-bcode">
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="translate(local-name(), 'B', 'b')"/>
    <xsl:with-param name="value"><xsl:call-template name="tv-words"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- ===== Table of contents ===== -->

<xsl:template name="tv-toc">
  <xsl:variable name="figs" select="/*/drawings/figure | /*/SDODR//EMI | /*/subdoc-drawings/figure"/>
  <xsl:variable name="heads" select="/*/description//heading | /*/SDODE//H | /*/subdoc-description//heading"/>
  <xsl:variable name="claims" select="/*/claims/claim | /*/SDOCL//CLM | /*/subdoc-claims/claim"/>
  <nav class="toc">
    <h2><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'contents'"/></xsl:call-template></h2>
    <ul>
      <xsl:if test="/*/abstract | /*/SDOAB | /*/subdoc-abstract">
        <li><a href="#abstract"><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'abstract'"/></xsl:call-template></a></li>
      </xsl:if>
      <xsl:if test="$figs">
        <li>
          <a href="#drawings"><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'drawings'"/></xsl:call-template></a>
          <ul>
            <xsl:for-each select="$figs">
              <li><a><xsl:attribute name="href">#<xsl:call-template name="tv-anchor"/></xsl:attribute><xsl:call-template name="tv-fig-label"/></a></li>
            </xsl:for-each>
          </ul>
        </li>
      </xsl:if>
      <xsl:if test="/*/description | /*/SDODE | /*/subdoc-description">
        <li>
          <a href="#description"><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'description'"/></xsl:call-template></a>
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
          <a href="#claims"><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'claims'"/></xsl:call-template></a>
          <ul class="claim-list">
            <xsl:for-each select="$claims">
              <li><a><xsl:attribute name="href">#<xsl:call-template name="tv-anchor"/></xsl:attribute>
                <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'claim'"/></xsl:call-template>
                <xsl:text> </xsl:text><xsl:call-template name="tv-claim-num"/></a></li>
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

<!-- "Figure 3" from the figure's number, else its place among its kind; number 0 is the
     drawing of the front page. -->
<xsl:template name="tv-fig-label">
  <xsl:choose>
    <xsl:when test="@num and number(@num) = 0">
      <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'front-page-drawing'"/></xsl:call-template>
    </xsl:when>
    <xsl:otherwise>
      <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'figure'"/></xsl:call-template>
      <xsl:text> </xsl:text>
      <xsl:choose>
        <xsl:when test="@num and string(number(@num)) != 'NaN'"><xsl:value-of select="number(@num)"/></xsl:when>
        <xsl:when test="@num"><xsl:value-of select="@num"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="count(preceding-sibling::*[local-name() = local-name(current())]) + 1"/></xsl:otherwise>
      </xsl:choose>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template name="tv-figure">
  <xsl:param name="label"><xsl:call-template name="tv-fig-label"/></xsl:param>
  <div class="figure">
    <xsl:call-template name="tv-ids"/>
    <div class="fig-title"><xsl:value-of select="$label"/></div>
    <xsl:choose>
      <xsl:when test="self::EMI or self::img or self::image"><xsl:call-template name="tv-image"><xsl:with-param name="drawing" select="1"/></xsl:call-template></xsl:when>
      <xsl:otherwise><xsl:apply-templates mode="tv-drawing"/></xsl:otherwise>
    </xsl:choose>
  </div>
</xsl:template>

<xsl:template match="figure">
  <xsl:call-template name="tv-figure"/>
</xsl:template>

<xsl:template match="SDODR//EMI">
  <xsl:call-template name="tv-figure"/>
</xsl:template>

<xsl:template match="representative-figure">
  <p class="note">
    <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'representative-figure'"/></xsl:call-template>
    <xsl:value-of select="concat(': ', normalize-space())"/>
  </p>
</xsl:template>

<!-- Inside a figure: images as drawings, anything else as usual. -->
<xsl:template match="img | EMI | image" mode="tv-drawing">
  <xsl:call-template name="tv-image"><xsl:with-param name="drawing" select="1"/></xsl:call-template>
</xsl:template>
<xsl:template match="node()" mode="tv-drawing">
  <xsl:apply-templates select="."/>
</xsl:template>

<xsl:template match="img | EMI | image | CUSTOM-CHARACTER">
  <xsl:call-template name="tv-image"/>
</xsl:template>

<!-- An image by its relative file name. Drawings: plain pages scale them to the page and
     link the full-size file, -embed pages show them at full width; in-line images keep
     their printed size (he/wi in mm) within the page. Addresses that are not relative
     file names are dropped. -->
<xsl:template name="tv-image">
  <xsl:param name="file">
    <!-- An entity name stands for its file (the document's entities, also from a table
         cell's copy); by name only, since drawings lie beside the document. -->
    <xsl:variable name="name" select="string(@FILE)"/>
    <xsl:variable name="uri">
      <xsl:if test="$name != '' and not(contains($name, '.'))">
        <xsl:for-each select="$tv-doc"><xsl:value-of select="unparsed-entity-uri($name)"/></xsl:for-each>
      </xsl:if>
    </xsl:variable>
    <xsl:choose>
      <xsl:when test="@file"><xsl:value-of select="@file"/></xsl:when>
      <xsl:when test="$uri = ''"><xsl:value-of select="$name"/></xsl:when>
      <xsl:otherwise>
        <xsl:call-template name="tv-basename"><xsl:with-param name="s" select="$uri"/></xsl:call-template>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:param>
  <xsl:param name="alt" select="normalize-space((@alt[. != 'embedded image' and . != 'embedded image '] | @ALT[. != 'embedded image'] | @img-content)[1])"/>
  <xsl:param name="drawing" select="0"/>
  <xsl:variable name="f" select="normalize-space($file)"/>
  <xsl:variable name="ok">
    <xsl:call-template name="tv-local-file"><xsl:with-param name="s" select="$f"/></xsl:call-template>
  </xsl:variable>
  <xsl:variable name="wi" select="normalize-space(@wi)"/>
  <xsl:choose>
    <xsl:when test="$ok != '1'"/>
    <xsl:when test="$drawing = 1 and $tv-embed = 1">
      <img class="drawing-full" src="{$f}" alt="{$alt}"/>
    </xsl:when>
    <xsl:when test="$drawing = 1">
      <a class="image" href="{$f}"><img class="drawing" src="{$f}" alt="{$alt}"/></a>
    </xsl:when>
    <xsl:otherwise>
      <img class="inline" src="{$f}" alt="{$alt}">
        <xsl:if test="substring($wi, string-length($wi) - 1) = 'mm' and translate($wi, '0123456789.', '') = 'mm'">
          <xsl:attribute name="style"><xsl:value-of select="concat('width:', $wi)"/></xsl:attribute>
        </xsl:if>
      </img>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- 1 when s is a relative file name: no scheme, no absolute path, no way up, no
     characters that a browser reads as more than a name. -->
<xsl:template name="tv-local-file">
  <xsl:param name="s"/>
  <xsl:if test="$s != '' and not(contains($s, ':')) and not(starts-with($s, '/')) and
                not(starts-with($s, '\')) and not(contains($s, '..')) and not(contains($s, '//')) and
                translate($s, '?#&quot;&lt;&gt;&amp;%\ ', '') = $s">1</xsl:if>
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
  <xsl:variable name="l" select="number((@level | @lvl | @LVL)[1])"/>
  <xsl:variable name="level">
    <xsl:choose>
      <xsl:when test="$l &gt;= 1 and $l &lt;= 3"><xsl:value-of select="2 + $l"/></xsl:when>
      <xsl:when test="$l &gt; 3">5</xsl:when>
      <xsl:otherwise>3</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:element name="h{$level}">
    <xsl:call-template name="tv-ids"/>
    <xsl:apply-templates/>
  </xsl:element>
</xsl:template>

<!-- A paragraph with its number: [0012] from @num or @N (0000, the abstract's, shows
     none), or the number element of the 2001 publications; none inside claims. -->
<xsl:template match="p | PARA | paragraph">
  <!-- A paragraph holding tables, formulas or lists is a div: HTML ends a p before them. -->
  <xsl:element name="{substring('pdiv', 1 + number(boolean(tables | table | maths | math-cwu | table-cwu | ul | ol | dl | pre | TABLE | MATHS | TABLES | CWU | PTEXT/CWU)),
                                    1 + 2 * number(boolean(tables | table | maths | math-cwu | table-cwu | ul | ol | dl | pre | TABLE | MATHS | TABLES | CWU | PTEXT/CWU)))}">
    <xsl:if test="@id | @ID"><xsl:attribute name="id"><xsl:value-of select="(@id | @ID)[1]"/></xsl:attribute></xsl:if>
    <xsl:if test="number(@lvl) > 0"><xsl:attribute name="class">indent</xsl:attribute></xsl:if>
    <xsl:if test="tables | table | maths | math-cwu | table-cwu | ul | ol | dl | pre | TABLE | MATHS | TABLES | CWU | PTEXT/CWU"><xsl:attribute name="class">para</xsl:attribute></xsl:if>
    <xsl:variable name="n" select="(@num | @N)[1]"/>
    <xsl:if test="$n and number($n) != 0 and not(ancestor::CLM or ancestor::claim)">
      <span class="pnum">[<xsl:value-of select="$n"/>]</span>
    </xsl:if>
    <xsl:apply-templates/>
  </xsl:element>
</xsl:template>

<xsl:template match="paragraph/number">
  <span class="pnum"><xsl:value-of select="normalize-space()"/></span>
</xsl:template>

<!-- Paragraph text: "SEQ ID NO: n" may link to the listing's page. -->
<xsl:template match="p//text() | PARA//text() | paragraph//text() | claim-text//text() | PTEXT//text()">
  <xsl:call-template name="tv-seq-text"><xsl:with-param name="text" select="."/></xsl:call-template>
</xsl:template>

<xsl:template match="description-of-drawings | DRWDESC | BRFSUM | DETDESC | BTEXT | section |
                     summary-of-invention | brief-description-of-drawings | detailed-description |
                     cross-reference-to-related-applications | description-of-embodiments | RELAPP | GOVINT | PARTOF |
                     technical-field | background-art | disclosure | best-mode | industrial-applicability">
  <div class="{translate(local-name(), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')}">
    <xsl:call-template name="tv-own-anchor"/>
    <xsl:apply-templates/>
  </div>
</xsl:template>

<!-- ===== Claims ===== -->

<xsl:template name="tv-claim-num">
  <xsl:choose>
    <xsl:when test="string(number(@num)) != 'NaN'"><xsl:value-of select="number(@num)"/></xsl:when>
    <xsl:when test="@num"><xsl:value-of select="@num"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="count(preceding-sibling::*[local-name() = local-name(current())]) + 1"/></xsl:otherwise>
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

<xsl:template match="claim-text | CLMSTEP">
  <div class="claim-text"><xsl:apply-templates/></div>
</xsl:template>

<!-- A claim reference of the 2001 publications wraps its words in claim-text: in-line. -->
<xsl:template match="dependent-claim-reference/claim-text">
  <xsl:apply-templates/>
</xsl:template>

<xsl:template match="PTEXT | STEXT | PDAT">
  <xsl:apply-templates/>
</xsl:template>

<xsl:template match="CL">
  <div class="claim-group"><xsl:apply-templates/></div>
</xsl:template>

<!-- References inside the document become links to their targets when the document
     has them: claims, figures, the drawings, tables, formulas. -->
<xsl:template match="claim-ref | figref | crossref | CLREF | FGREF | dependent-claim-reference | cross-reference">
  <xsl:variable name="to" select="normalize-space(substring-before(concat(normalize-space((@idref | @ID | @depends_on | @target)[1]), ' '), ' '))"/>
  <!-- Looked up in the document itself: table cells are processed as copies. -->
  <xsl:variable name="anchor">
    <xsl:for-each select="$tv-doc"><xsl:if test="key('tv-id', $to)"><xsl:value-of select="$to"/></xsl:if></xsl:for-each>
  </xsl:variable>
  <xsl:choose>
    <xsl:when test="$anchor != ''"><a class="{local-name()}" href="#{$anchor}"><xsl:apply-templates/></a></xsl:when>
    <xsl:otherwise><xsl:apply-templates/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- ===== Tables and formulas ===== -->

<xsl:template match="tables | table-cwu | TABLES | TABLE-US">
  <div class="tables">
    <xsl:if test="@id | @ID"><xsl:attribute name="id"><xsl:value-of select="(@id | @ID)[1]"/></xsl:attribute></xsl:if>
    <xsl:apply-templates/>
  </div>
</xsl:template>

<xsl:template match="table-cwu/number">
  <div class="table-num">
    <xsl:call-template name="tv-label"><xsl:with-param name="key" select="'table'"/></xsl:call-template>
    <xsl:value-of select="concat(' ', normalize-space())"/>
  </div>
</xsl:template>

<xsl:template match="table | TABLE">
  <xsl:apply-templates select="." mode="cals"/>
</xsl:template>

<!-- A numbered formula: MathML with its number "(3)"; its image (in the formula or kept
     apart in us-math) shown when there is no MathML, else offered below it. -->
<xsl:template match="maths | MATHS | MATH-US | math-cwu">
  <xsl:variable name="id" select="string((@id | @ID)[1])"/>
  <!-- By key in the document; in a table cell's copy (another tree) by a scan. -->
  <xsl:variable name="in-doc" select="count($tv-doc | /) = 1"/>
  <xsl:variable name="imgs" select=".//img[not(ancestor::*[local-name() = 'math'])] | .//EMI | .//image |
        key('tv-math-image', $id)/img |
        $tv-math-images[not($in-doc)][normalize-space(substring-before(concat(normalize-space(@idrefs), ' '), ' ')) = $id]/img"/>
  <xsl:variable name="num" select="normalize-space((@num | number)[1])"/>
  <div class="maths">
    <xsl:if test="$id != ''"><xsl:attribute name="id"><xsl:value-of select="$id"/></xsl:attribute></xsl:if>
    <xsl:if test="$num != ''">
      <span class="eqnum">
        <xsl:text>(</xsl:text>
        <xsl:choose>
          <xsl:when test="string(number($num)) != 'NaN'"><xsl:value-of select="number($num)"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$num"/></xsl:otherwise>
        </xsl:choose>
        <xsl:text>)</xsl:text>
      </span>
    </xsl:if>
    <xsl:apply-templates select="node()[not(self::img or self::EMI or self::image or self::number)]"/>
    <xsl:choose>
      <xsl:when test=".//*[local-name() = 'math'] and $imgs">
        <details class="maths-image">
          <summary><xsl:call-template name="tv-label"><xsl:with-param name="key" select="'formula-image'"/></xsl:call-template></summary>
          <xsl:for-each select="$imgs"><xsl:call-template name="tv-image"/></xsl:for-each>
        </details>
      </xsl:when>
      <xsl:otherwise>
        <xsl:for-each select="$imgs"><xsl:call-template name="tv-image"/></xsl:for-each>
      </xsl:otherwise>
    </xsl:choose>
  </div>
</xsl:template>

<xsl:template match="chemistry | CHEM | CHEM-US | chemistry-cwu">
  <span class="chemistry">
    <xsl:call-template name="tv-own-anchor"/>
    <xsl:apply-templates/>
  </span>
</xsl:template>

<!-- Wrappers of the SGML grants: their content only. -->
<xsl:template match="TABLE-CALS | MATHEMATICA | MATHML | CHEMCDX | CHEMMOL">
  <xsl:apply-templates/>
</xsl:template>

<!-- Shown by their formula (its image) or not at all (files for other programs). -->
<xsl:template match="MATHEMATICA/EMI | MATHML/EMI | chemistry-cwu/number | mathematica-file | chemcdx-file | chemmol-file"/>

<xsl:template match="CWU">
  <div class="cwu"><xsl:apply-templates/></div>
</xsl:template>

<xsl:template match="in-line-formula | F">
  <span class="formula"><xsl:apply-templates/></span>
</xsl:template>

<!-- MathML: only presentation elements and their layout attributes, in the MathML
     namespace whatever the document used; anything else keeps its text at most. -->
<xsl:template match="*[local-name() = 'math']">
  <math xmlns="http://www.w3.org/1998/Math/MathML">
    <xsl:choose>
      <xsl:when test="@display = 'block' or @display = 'inline'"><xsl:attribute name="display"><xsl:value-of select="@display"/></xsl:attribute></xsl:when>
      <!-- A numbered formula stands on its own line. -->
      <xsl:when test="ancestor::maths or ancestor::MATHS or ancestor::MATH-US"><xsl:attribute name="display">block</xsl:attribute></xsl:when>
    </xsl:choose>
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
  <xsl:element name="{local-name()}">
    <xsl:if test="@list-style = 'none'"><xsl:attribute name="class">plain</xsl:attribute></xsl:if>
    <xsl:apply-templates/>
  </xsl:element>
</xsl:template>

<xsl:template match="B | I | U | BOLD | ITALIC | ULINE | bold | italic | underline">
  <xsl:element name="{translate(substring(local-name(), 1, 1), 'BIUbiu', 'biubiu')}"><xsl:apply-templates/></xsl:element>
</xsl:template>

<xsl:template match="SB | subscript"><sub><xsl:apply-templates/></sub></xsl:template>
<xsl:template match="SP | superscript"><sup><xsl:apply-templates/></sup></xsl:template>
<xsl:template match="br | BR"><br/></xsl:template>
<xsl:template match="pre | PRE"><pre><xsl:apply-templates/></pre></xsl:template>
<xsl:template match="smallcaps | SMCP"><span class="smallcaps"><xsl:apply-templates/></span></xsl:template>
<xsl:template match="o | O"><span class="overline"><xsl:apply-templates/></span></xsl:template>
<xsl:template match="highlight | HIL"><xsl:apply-templates/></xsl:template>
<xsl:template match="footnote"><span class="footnote"><xsl:if test="@id"><xsl:attribute name="id"><xsl:value-of select="@id"/></xsl:attribute></xsl:if><xsl:apply-templates/></span></xsl:template>

<!-- Unknown elements keep their text. -->
<xsl:template match="*">
  <span class="{local-name()}"><xsl:apply-templates/></span>
</xsl:template>

<xsl:template name="tv-humanise">
  <xsl:param name="s"/>
  <xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="$s"/></xsl:call-template>
</xsl:template>

</xsl:stylesheet>
