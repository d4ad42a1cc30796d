<?xml version="1.0" encoding="UTF-8"?>
<!-- Element names as labels: "fee-sheet" reads "Fee sheet", "ApplicantFileReference"
     "Applicant file reference", "IPOfficeCode" "IP office code". -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

<xsl:variable name="lb-upper" select="'ABCDEFGHIJKLMNOPQRSTUVWXYZ'"/>
<xsl:variable name="lb-lower" select="'abcdefghijklmnopqrstuvwxyz'"/>

<xsl:template name="lb-humanise">
  <xsl:param name="s"/>
  <xsl:variable name="words">
    <xsl:call-template name="lb-split">
      <xsl:with-param name="s" select="normalize-space(translate($s, '-_.', '   '))"/>
    </xsl:call-template>
  </xsl:variable>
  <xsl:value-of select="concat(translate(substring($words, 1, 1), $lb-lower, $lb-upper), substring($words, 2))"/>
</xsl:template>

<!-- A capital after a small letter, or before one, starts a new word; acronyms keep
     their case. -->
<xsl:template name="lb-split">
  <xsl:param name="s"/>
  <xsl:param name="prev" select="''"/>
  <xsl:if test="$s != ''">
    <xsl:variable name="c" select="substring($s, 1, 1)"/>
    <xsl:variable name="next" select="substring($s, 2, 1)"/>
    <xsl:variable name="next-small" select="$next != '' and contains($lb-lower, $next)"/>
    <xsl:choose>
      <xsl:when test="contains($lb-upper, $c) and $prev != '' and $prev != ' ' and
                      (contains($lb-lower, $prev) or $next-small)">
        <xsl:text> </xsl:text>
        <xsl:choose>
          <xsl:when test="$next-small"><xsl:value-of select="translate($c, $lb-upper, $lb-lower)"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$c"/></xsl:otherwise>
        </xsl:choose>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$c"/></xsl:otherwise>
    </xsl:choose>
    <xsl:call-template name="lb-split">
      <xsl:with-param name="s" select="substring($s, 2)"/>
      <xsl:with-param name="prev" select="$c"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

</xsl:stylesheet>
