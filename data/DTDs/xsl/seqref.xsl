<?xml version="1.0" encoding="UTF-8"?>
<!--
  Links from a main document's text to its sequence listing's page.

  tv-seq-page is the listing page's relative URL, passed by the document opener when
  the document's folder holds a listing; empty otherwise. The named template
  tv-seq-text writes a text with every "SEQ ID NO: 5" (also "SEQ ID NO. 5", "SEQ ID NO 5",
  "SEQ ID No: 5") made a link to {tv-seq-page}#seq-5; after the plural "SEQ ID NOS:" each
  number of a list ("1, 2 and 4", "7-9", "3 or 6") gets its own link. Without a page the
  text comes out as it is.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

<xsl:param name="tv-seq-page" select="''"/>

<xsl:template name="tv-seq-text">
  <xsl:param name="text" select="."/>
  <xsl:choose>
    <xsl:when test="$tv-seq-page = '' or not(contains($text, 'SEQ ID N'))">
      <xsl:value-of select="$text"/>
    </xsl:when>
    <xsl:otherwise>
      <xsl:value-of select="substring-before($text, 'SEQ ID N')"/>
      <xsl:variable name="rest" select="substring-after($text, 'SEQ ID N')"/>
      <xsl:variable name="o" select="substring($rest, 1, 1)"/>
      <xsl:variable name="s" select="substring($rest, 2, 1)"/>
      <xsl:variable name="plural" select="$s = 'S' or $s = 's'"/>
      <xsl:variable name="after-word" select="substring($rest, 2 + $plural)"/>
      <xsl:variable name="punct" select="substring($after-word, 1, number(starts-with($after-word, ':') or starts-with($after-word, '.')))"/>
      <xsl:variable name="after-punct" select="substring($after-word, string-length($punct) + 1)"/>
      <xsl:variable name="spaces" select="substring-before($after-punct, substring(translate($after-punct, ' &#xA0;', ''), 1, 1))"/>
      <xsl:variable name="at-number" select="substring($after-punct, string-length($spaces) + 1)"/>
      <xsl:variable name="number">
        <xsl:call-template name="tv-seq-digits"><xsl:with-param name="s" select="$at-number"/></xsl:call-template>
      </xsl:variable>
      <xsl:choose>
        <xsl:when test="($o = 'O' or $o = 'o') and $number != ''">
          <a href="{$tv-seq-page}#seq-{number($number)}">
            <xsl:value-of select="concat('SEQ ID N', substring($rest, 1, 1 + $plural), $punct, $spaces, $number)"/>
          </a>
          <xsl:variable name="tail" select="substring($at-number, string-length($number) + 1)"/>
          <xsl:choose>
            <xsl:when test="$plural">
              <xsl:call-template name="tv-seq-list"><xsl:with-param name="text" select="$tail"/></xsl:call-template>
            </xsl:when>
            <xsl:otherwise>
              <xsl:call-template name="tv-seq-text"><xsl:with-param name="text" select="$tail"/></xsl:call-template>
            </xsl:otherwise>
          </xsl:choose>
        </xsl:when>
        <xsl:otherwise>
          <xsl:text>SEQ ID N</xsl:text>
          <xsl:call-template name="tv-seq-text"><xsl:with-param name="text" select="$rest"/></xsl:call-template>
        </xsl:otherwise>
      </xsl:choose>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- The further numbers of "SEQ ID NOS: 1, 2 and 4": a separator, then a number. -->
<xsl:template name="tv-seq-list">
  <xsl:param name="text"/>
  <xsl:variable name="sep">
    <xsl:choose>
      <xsl:when test="starts-with($text, ', and ')">, and </xsl:when>
      <xsl:when test="starts-with($text, ', or ')">, or </xsl:when>
      <xsl:when test="starts-with($text, ', ')">, </xsl:when>
      <xsl:when test="starts-with($text, ',')">,</xsl:when>
      <xsl:when test="starts-with($text, ' and ')"> and </xsl:when>
      <xsl:when test="starts-with($text, ' or ')"> or </xsl:when>
      <xsl:when test="starts-with($text, ' to ')"> to </xsl:when>
      <xsl:when test="starts-with($text, ' - ')"> - </xsl:when>
      <xsl:when test="starts-with($text, '-')">-</xsl:when>
      <xsl:when test="starts-with($text, '&#x2013;')">&#x2013;</xsl:when>
    </xsl:choose>
  </xsl:variable>
  <xsl:variable name="number">
    <xsl:if test="$sep != ''">
      <xsl:call-template name="tv-seq-digits"><xsl:with-param name="s" select="substring($text, string-length($sep) + 1)"/></xsl:call-template>
    </xsl:if>
  </xsl:variable>
  <xsl:choose>
    <xsl:when test="$number != ''">
      <xsl:value-of select="$sep"/>
      <a href="{$tv-seq-page}#seq-{number($number)}"><xsl:value-of select="$number"/></a>
      <xsl:call-template name="tv-seq-list">
        <xsl:with-param name="text" select="substring($text, string-length($sep) + string-length($number) + 1)"/>
      </xsl:call-template>
    </xsl:when>
    <xsl:otherwise>
      <xsl:call-template name="tv-seq-text"><xsl:with-param name="text" select="$text"/></xsl:call-template>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- The digits s starts with; none when there are more than nine. -->
<xsl:template name="tv-seq-digits">
  <xsl:param name="s"/>
  <xsl:variable name="first-other" select="substring(translate($s, '0123456789', ''), 1, 1)"/>
  <xsl:variable name="digits">
    <xsl:choose>
      <xsl:when test="$first-other = ''"><xsl:value-of select="$s"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="substring-before($s, $first-other)"/></xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:if test="string-length($digits) &lt;= 9"><xsl:value-of select="$digits"/></xsl:if>
</xsl:template>

</xsl:stylesheet>
