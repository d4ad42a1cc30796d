<?xml version="1.0" encoding="UTF-8"?>
<!--
  Sequence listing as a page: the listing's header data, then each sequence with its
  features and its residues. Two structures:
  - ST26SequenceListing (every version): residues in blocks of ten, sixty to a line,
    each line led by the position of its first residue;
  - sequence-cwu (numeric identifiers, s110 ... s400): fields labelled from the table
    below, the residues as the listing lays them out (its own numbering).
  Every sequence is a section with the anchor "seq-N" (N its SEQ ID NO), which links
  from the main document's page point at.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:sl="urn:x-tessel:sequence-labels" exclude-result-prefixes="sl">
<xsl:include href="labels.xsl"/>
<xsl:output method="html" encoding="UTF-8" indent="no" doctype-system="about:legacy-compat"/>

<xsl:variable name="sl-line" select="60"/>
<xsl:variable name="sl-block" select="10"/>

<xsl:template match="/">
  <html>
    <head>
      <meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
      <title>
        <xsl:text>Sequence listing</xsl:text>
        <xsl:variable name="t" select="(*/InventionTitle | //s120)[1]"/>
        <xsl:if test="normalize-space($t) != ''">
          <xsl:value-of select="concat(': ', normalize-space($t))"/>
        </xsl:if>
      </title>
      <style>
body { font-family: sans-serif; font-size: 11pt; max-width: 60em; margin: 1em auto; padding: 0 1em; color: #111; background: #fff; }
h1 { font-size: 1.4em; } h2 { font-size: 1.15em; border-bottom: 1px solid #888; margin-top: 1.5em; }
table.fields { border-collapse: collapse; margin: 0.4em 0; }
table.fields th { text-align: left; vertical-align: top; font-weight: normal; color: #444; padding: 0.1em 1em 0.1em 0; }
table.fields td { padding: 0.1em 0; vertical-align: top; }
table.features { border-collapse: collapse; margin: 0.5em 0; }
table.features th, table.features td { border: 1px solid #999; padding: 0.15em 0.5em; vertical-align: top; text-align: left; }
table.residues { border-collapse: collapse; font-family: monospace; font-size: 10pt; }
table.residues td.pos { text-align: right; padding-right: 1.5em; color: #555; }
table.residues td.res { white-space: pre; }
pre.residues { font-size: 10pt; margin: 0.5em 0; }
nav.seqs a { margin-right: 0.6em; white-space: nowrap; }
@media print { body { max-width: none; margin: 0; } nav.seqs { display: none; } section.seq { page-break-inside: avoid; } }
      </style>
    </head>
    <body>
      <xsl:apply-templates select="*"/>
    </body>
  </html>
</xsl:template>

<xsl:template match="/*">
  <h1>Sequence listing</h1>
  <table class="fields">
    <xsl:for-each select="@*">
      <xsl:call-template name="sl-row"><xsl:with-param name="value" select="string(.)"/></xsl:call-template>
    </xsl:for-each>
    <xsl:for-each select="*[not(self::SequenceData)]">
      <xsl:call-template name="sl-row"/>
    </xsl:for-each>
  </table>
  <xsl:if test="count(SequenceData) &gt; 1">
    <nav class="seqs">
      <xsl:for-each select="SequenceData">
        <a href="#seq-{@sequenceIDNumber}">SEQ ID NO: <xsl:value-of select="@sequenceIDNumber"/></a>
      </xsl:for-each>
    </nav>
  </xsl:if>
  <xsl:apply-templates select="SequenceData"/>
</xsl:template>

<!-- A labelled row; a group of elements becomes a nested table. -->
<xsl:template name="sl-row">
  <xsl:param name="value" select="normalize-space(.)"/>
  <tr>
    <th><xsl:call-template name="sl-label"><xsl:with-param name="s" select="local-name()"/></xsl:call-template></th>
    <td>
      <xsl:choose>
        <xsl:when test="*">
          <table class="fields">
            <xsl:for-each select="@* | *"><xsl:call-template name="sl-row"/></xsl:for-each>
          </table>
        </xsl:when>
        <xsl:otherwise>
          <xsl:value-of select="$value"/>
          <xsl:for-each select="@*">
            <xsl:value-of select="concat(' (', ., ')')"/>
          </xsl:for-each>
        </xsl:otherwise>
      </xsl:choose>
    </td>
  </tr>
</xsl:template>

<xsl:template match="SequenceData">
  <xsl:variable name="seq" select="INSDSeq[1]"/>
  <xsl:variable name="residues" select="translate(normalize-space($seq/INSDSeq_sequence), ' ', '')"/>
  <section class="seq" id="seq-{@sequenceIDNumber}">
    <h2>SEQ ID NO: <xsl:value-of select="@sequenceIDNumber"/></h2>
    <table class="fields">
      <xsl:for-each select="$seq/*[not(self::INSDSeq_feature-table or self::INSDSeq_sequence)]">
        <xsl:call-template name="sl-row"/>
      </xsl:for-each>
    </table>
    <xsl:if test="$seq/INSDSeq_feature-table/INSDFeature">
      <table class="features">
        <tr><th>Feature</th><th>Location</th><th>Qualifiers</th></tr>
        <xsl:for-each select="$seq/INSDSeq_feature-table/INSDFeature">
          <tr>
            <td><xsl:value-of select="normalize-space(INSDFeature_key)"/></td>
            <td><xsl:value-of select="normalize-space(INSDFeature_location)"/></td>
            <td>
              <xsl:for-each select="INSDFeature_quals/INSDQualifier">
                <div class="qual">
                  <span class="qname"><xsl:value-of select="normalize-space(INSDQualifier_name)"/></span>
                  <xsl:if test="INSDQualifier_value">
                    <xsl:value-of select="concat(': ', normalize-space(INSDQualifier_value))"/>
                  </xsl:if>
                </div>
              </xsl:for-each>
            </td>
          </tr>
        </xsl:for-each>
      </table>
    </xsl:if>
    <xsl:if test="$residues != ''">
      <table class="residues">
        <xsl:call-template name="sl-lines">
          <xsl:with-param name="s" select="$residues"/>
          <xsl:with-param name="first" select="0"/>
          <xsl:with-param name="count" select="ceiling(string-length($residues) div $sl-line)"/>
        </xsl:call-template>
      </table>
    </xsl:if>
    <!-- Whatever else the sequence data holds, by its element name. -->
    <xsl:if test="*[not(self::INSDSeq)]">
      <table class="fields">
        <xsl:for-each select="*[not(self::INSDSeq)]"><xsl:call-template name="sl-row"/></xsl:for-each>
      </table>
    </xsl:if>
  </section>
</xsl:template>

<!-- Lines first..first+count-1, split in halves so that long sequences need no deep recursion. -->
<xsl:template name="sl-lines">
  <xsl:param name="s"/>
  <xsl:param name="first"/>
  <xsl:param name="count"/>
  <xsl:choose>
    <xsl:when test="$count = 1">
      <xsl:variable name="line" select="substring($s, $first * $sl-line + 1, $sl-line)"/>
      <tr>
        <td class="pos"><xsl:value-of select="$first * $sl-line + 1"/></td>
        <td class="res">
          <xsl:call-template name="sl-blocks"><xsl:with-param name="line" select="$line"/></xsl:call-template>
        </td>
      </tr>
    </xsl:when>
    <xsl:when test="$count &gt; 1">
      <xsl:variable name="half" select="floor($count div 2)"/>
      <xsl:call-template name="sl-lines">
        <xsl:with-param name="s" select="$s"/>
        <xsl:with-param name="first" select="$first"/>
        <xsl:with-param name="count" select="$half"/>
      </xsl:call-template>
      <xsl:call-template name="sl-lines">
        <xsl:with-param name="s" select="$s"/>
        <xsl:with-param name="first" select="$first + $half"/>
        <xsl:with-param name="count" select="$count - $half"/>
      </xsl:call-template>
    </xsl:when>
  </xsl:choose>
</xsl:template>

<xsl:template name="sl-blocks">
  <xsl:param name="line"/>
  <xsl:value-of select="substring($line, 1, $sl-block)"/>
  <xsl:if test="string-length($line) &gt; $sl-block">
    <xsl:text> </xsl:text>
    <xsl:call-template name="sl-blocks">
      <xsl:with-param name="line" select="substring($line, $sl-block + 1)"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<!-- The numeric-identifier structure. -->
<xsl:template match="/sequence-cwu" priority="1">
  <xsl:variable name="seqs" select="//s200"/>
  <h1>Sequence listing</h1>
  <table class="fields">
    <xsl:for-each select="publication-reference/document-id/* | *[not(self::publication-reference) and not(*)]">
      <xsl:call-template name="sl-row"/>
    </xsl:for-each>
    <xsl:for-each select="//s100/* | //*[starts-with(local-name(), 's1') and not(ancestor-or-self::s100) and not(*)]">
      <xsl:call-template name="sl-row"/>
    </xsl:for-each>
  </table>
  <xsl:if test="count($seqs) &gt; 1">
    <nav class="seqs">
      <xsl:for-each select="$seqs">
        <a href="#seq-{normalize-space(s210)}">SEQ ID NO: <xsl:value-of select="normalize-space(s210)"/></a>
      </xsl:for-each>
    </nav>
  </xsl:if>
  <xsl:apply-templates select="$seqs" mode="cwu"/>
  <!-- A sequence without a header of its own. -->
  <xsl:for-each select="//s400[not(preceding-sibling::s200)]">
    <pre class="residues"><xsl:value-of select="."/></pre>
  </xsl:for-each>
  <!-- Whatever else the listing holds (other rules, other identifiers), by its name. -->
  <xsl:variable name="other" select="*[starts-with(local-name(), 'sequence-list')]/*[not(self::s100 or self::s200 or self::s400)]"/>
  <xsl:if test="$other">
    <table class="fields">
      <xsl:for-each select="$other"><xsl:call-template name="sl-row"/></xsl:for-each>
    </table>
  </xsl:if>
</xsl:template>

<xsl:template match="s200" mode="cwu">
  <xsl:variable name="no" select="normalize-space(s210)"/>
  <xsl:variable name="me" select="generate-id()"/>
  <section class="seq" id="seq-{$no}">
    <h2>SEQ ID NO: <xsl:value-of select="$no"/></h2>
    <table class="fields">
      <xsl:for-each select="*[not(self::s210) and not(self::s220)]">
        <xsl:call-template name="sl-row"/>
      </xsl:for-each>
    </table>
    <xsl:if test="s220">
      <table class="features">
        <tr><th>Feature</th><th>Location</th><th>Other information</th></tr>
        <xsl:for-each select="s220">
          <tr>
            <td><xsl:value-of select="normalize-space(s221)"/></td>
            <td><xsl:value-of select="normalize-space(s222)"/></td>
            <td>
              <xsl:value-of select="normalize-space(s223)"/>
              <xsl:for-each select="*[not(self::s221 or self::s222 or self::s223)]">
                <div class="qual"><xsl:call-template name="sl-label"><xsl:with-param name="s" select="local-name()"/></xsl:call-template>: <xsl:value-of select="normalize-space(.)"/></div>
              </xsl:for-each>
            </td>
          </tr>
        </xsl:for-each>
      </table>
    </xsl:if>
    <xsl:for-each select="following-sibling::s400[generate-id(preceding-sibling::s200[1]) = $me]">
      <pre class="residues"><xsl:value-of select="."/></pre>
    </xsl:for-each>
  </section>
</xsl:template>

<!-- Numeric identifiers from the table below; "INSDSeq_moltype" reads "Molecule type",
     other names as labels.xsl makes them. -->
<xsl:template name="sl-label">
  <xsl:param name="s"/>
  <xsl:choose>
    <xsl:when test="$sl-codes[@n = $s]"><xsl:value-of select="$sl-codes[@n = $s]"/></xsl:when>
    <xsl:otherwise>
      <xsl:call-template name="lb-humanise">
        <xsl:with-param name="s">
          <xsl:choose>
            <xsl:when test="$s = 'INSDSeq_moltype'">molecule type</xsl:when>
            <xsl:when test="starts-with($s, 'INSDSeq_')"><xsl:value-of select="substring-after($s, 'INSDSeq_')"/></xsl:when>
            <xsl:otherwise><xsl:value-of select="$s"/></xsl:otherwise>
          </xsl:choose>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- Labels of the numeric identifiers. -->
<xsl:variable name="sl-codes" select="document('')/*/sl:codes/sl:c"/>
<sl:codes>
  <sl:c n="s110">Applicant</sl:c>
  <sl:c n="s120">Title of invention</sl:c>
  <sl:c n="s130">File reference</sl:c>
  <sl:c n="s140">Current application number</sl:c>
  <sl:c n="s141">Current filing date</sl:c>
  <sl:c n="s150">Prior application number</sl:c>
  <sl:c n="s151">Prior application filing date</sl:c>
  <sl:c n="s160">Number of SEQ ID NOs</sl:c>
  <sl:c n="s170">Software</sl:c>
  <sl:c n="s211">Length</sl:c>
  <sl:c n="s212">Type</sl:c>
  <sl:c n="s213">Organism</sl:c>
  <sl:c n="s300">Publication information</sl:c>
  <sl:c n="s301">Authors</sl:c>
  <sl:c n="s302">Title</sl:c>
  <sl:c n="s303">Journal</sl:c>
  <sl:c n="s304">Volume</sl:c>
  <sl:c n="s305">Issue</sl:c>
  <sl:c n="s306">Pages</sl:c>
  <sl:c n="s307">Date</sl:c>
  <sl:c n="s308">Database accession number</sl:c>
  <sl:c n="s309">Database entry date</sl:c>
  <sl:c n="s310">Document number</sl:c>
  <sl:c n="s311">Filing date</sl:c>
  <sl:c n="s312">Publication date</sl:c>
  <sl:c n="s313">Relevant residues</sl:c>
  <sl:c n="doc-number">Publication number</sl:c>
  <sl:c n="number">Listing number</sl:c>
</sl:codes>

</xsl:stylesheet>
