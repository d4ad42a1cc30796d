<?xml version="1.0" encoding="UTF-8"?>
<!-- seqref.xsl as the page core uses it, with the listing page the opener would pass. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:import href="../../../../data/DTDs/xsl/seqref.xsl"/>
<xsl:param name="tv-seq-page" select="'list.xml.html'"/>
<xsl:output method="html" encoding="UTF-8"/>
<xsl:template match="/">
  <html><body><xsl:for-each select="//t"><p><xsl:call-template name="tv-seq-text"><xsl:with-param name="text" select="."/></xsl:call-template></p></xsl:for-each></body></html>
</xsl:template>
</xsl:stylesheet>
